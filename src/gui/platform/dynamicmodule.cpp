#include "dynamicmodule.h"

#include <algorithm>
#include <cstring>

DynamicModule::DynamicModule()
{
    reset();
}

DynamicModule::~DynamicModule()
{
    unload();
}

int DynamicModule::reset()
{
    handle = nullptr;
    loaded = 0;
    fileName.fill(0);
    lastError = 0;
    errorText.fill(0);
    return 1;
}

int DynamicModule::unload()
{
    if (loaded == 1 && handle)
        releaseHandle(handle);
    handle = nullptr;
    loaded = 0;
    return 1;
}

void DynamicModule::clear()
{
    reset();
}

void DynamicModule::setError(uint32_t code, const char* text)
{
    lastError = code;
    errorText.fill(0);
    if (text) {
        // Cut to the buffer, always leaving the terminating zero.
        const std::size_t length = std::min(std::strlen(text), errorText.size() - 1);
        std::memcpy(errorText.data(), text, length);
    }
}
