#include "basicpage.h"

#include "mpegaudiopage.h"
#include "ui_basicpage.h"
#include "widgets/toolbox.h"

#include <QVBoxLayout>

BasicPage::BasicPage(QWidget* parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui::IBasicPage>())
    , mpegAudioPage(nullptr)
    , toolBox(nullptr)
{
    ui->setupUi(this);

    // The fixed lists hold their entries before the first state arrives.
    mpegAudioPage = new MPEGAudioPage(this);
    mpegAudioPage->fillLists();

    toolBox = new ToolBox(this);
    auto* collectionLayout = new QVBoxLayout(ui->collectionFrame);
    collectionLayout->setContentsMargins(0, 0, 0, 0);
    collectionLayout->addWidget(toolBox);
    toolBox->addItem(mpegAudioPage, tr("Audio Format"), QStringLiteral(":/res_mpa/icons/down.png"),
        QStringLiteral(":/res_mpa/icons/right.png"));

    // Bold section headers, controls in normal weight.
    QFont font;
    font.setWeight(QFont::Bold);
    toolBox->setFont(font);
    font.setWeight(QFont::Normal);
    mpegAudioPage->setFont(font);

    connect(mpegAudioPage, SIGNAL(stateChanged(ConfigState)), this, SIGNAL(stateChanged(ConfigState)));
}

BasicPage::~BasicPage() = default;

void BasicPage::updateState(const ConfigState& state)
{
    mpegAudioPage->updateState(state);
}
