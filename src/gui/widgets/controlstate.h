#ifndef VL_WIDGETS_CONTROLSTATE_H
#define VL_WIDGETS_CONTROLSTATE_H

#include "model/configstate.h"

#include <QMap>

class QCheckBox;
class QComboBox;
class QObject;

// The two directions of the change loop at a single control, shared by the
// dialog and the MPEG audio page: an item of a derived state is shown in its
// control, and a user's change leaves the control as a one-item state.
namespace ControlState {

// Makes current the entry whose text equals the item's value exactly and
// case-sensitively (no entry when none does) and enables the list by the
// item's flag. The list's signals are blocked meanwhile and unblocked
// afterwards, so the refresh never reports a change.
void showItem(QComboBox* list, const ConfigItem& item);

// The same for a check box: checked when the value converts to true.
void showItem(QCheckBox* box, const ConfigItem& item);

// The state with the single item (name of the control in itemNames, empty for
// an unregistered control or none) = (value, enabled).
ConfigState itemState(const QMap<QObject*, QString>& itemNames, QObject* control, const QVariant& value);

} // namespace ControlState

#endif
