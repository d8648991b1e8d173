/*
 * German and Japanese versions of the encoder module's message formats. Each
 * translation keeps the conversions of its English format in the same order,
 * so it can be handed to printf with the encoder's arguments. Texts are UTF-8.
 */
#ifndef VL_LOCALIZE_MESSAGETRANSLATIONS_H
#define VL_LOCALIZE_MESSAGETRANSLATIONS_H

#include "encodermessages.h"

#include <cstdint>

namespace vl::localize {

// Primary language numbers as the dialog passes them.
enum class Language : std::uint16_t { Untranslated = 0, German = 7, Japanese = 17 };

// The language of a language number: its primary language (the low ten bits,
// so 0x0407 is German too), or Untranslated for any other language.
Language languageFromNumber(std::uint16_t number);

// The translation of a message into a language, or null for Untranslated.
const char* translation(Language language, encoder::MessageId id);

// The message whose English format is exactly text, or MessageId::Count.
encoder::MessageId findMessage(const char* text);

// The format to use in the language: the translation when text is one of the
// encoder's formats, else text itself.
const char* convert(Language language, const char* text);

} // namespace vl::localize

#endif
