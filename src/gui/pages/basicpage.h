#ifndef VL_PAGES_BASICPAGE_H
#define VL_PAGES_BASICPAGE_H

#include "model/configstate.h"

#include <QFrame>
#include <memory>

class MPEGAudioPage;
class ToolBox;

namespace Ui {
class IBasicPage;
}

// The page of the "Basic Settings" tab: a tool box with the single section
// "Audio Format" holding the MPEG audio page. It has no controls of its own;
// it relays the page's change states to the dialog and the dialog's derived
// states to the page.
class BasicPage : public QFrame
{
    Q_OBJECT

public:
    explicit BasicPage(QWidget* parent = nullptr);
    ~BasicPage() override;

    // Hands a full derived state to the MPEG audio page.
    void updateState(const ConfigState& state);

signals:
    void stateChanged(const ConfigState& state);

private:
    std::unique_ptr<Ui::IBasicPage> ui;
    MPEGAudioPage* mpegAudioPage;
    ToolBox* toolBox;
};

#endif
