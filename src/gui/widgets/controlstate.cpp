#include "controlstate.h"

#include <QCheckBox>
#include <QComboBox>

namespace ControlState {

void showItem(QComboBox* list, const ConfigItem& item)
{
    list->blockSignals(true);
    list->setCurrentIndex(list->findText(item.value.toString(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    list->setEnabled(item.enabled);
    list->blockSignals(false);
}

void showItem(QCheckBox* box, const ConfigItem& item)
{
    box->blockSignals(true);
    box->setChecked(item.value.toBool());
    box->setEnabled(item.enabled);
    box->blockSignals(false);
}

ConfigState itemState(const QMap<QObject*, QString>& itemNames, QObject* control, const QVariant& value)
{
    ConfigState state;
    state.insert(itemNames.value(control), ConfigItem(value, true));
    return state;
}

} // namespace ControlState
