// Renders the settings dialog (flags 0x51: basic settings page, Load and
// Save buttons, coloured messages) under both skins:
//
//   vl_screenshots <path of libvl_gui_mpa.so> <output directory>
//
// The library is called as a host that runs the toolkit itself would call
// it, so the dialog lives in this process and can be grabbed.
#include "skinshooter.h"

#include <QApplication>
#include <QLibrary>
#include <QTextStream>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_settings.h>

namespace {

// MPEG-1 Layer II at 48 kHz, 224 kbit/s, joint stereo: a typical setting.
EncoderSettings sampleSettings()
{
    EncoderSettings settings {};
    settings.mode = VL_MODE_JOINT_STEREO;
    settings.layer = 2;
    settings.psychModel = 1;
    settings.bitrateIndex = 11;
    settings.emphasis = VL_EMPHASIS_NONE;
    settings.originalBit = 1;
    settings.audioType = VL_AUDIO_MPEG1;
    settings.sampleFrequency = 48000;
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        err << "usage: vl_screenshots <libvl_gui_mpa.so> <output directory>" << Qt::endl;
        return 2;
    }

    QLibrary library(args.at(1));
    const auto show = reinterpret_cast<ShowMPAEncoderPagesFunc>(library.resolve("showMPAEncoderPages"));
    if (!show) {
        err << library.errorString() << Qt::endl;
        return 1;
    }
    const QDir output(args.at(2));
    if (!output.exists() && !QDir().mkpath(output.path())) {
        err << "cannot create " << output.path() << Qt::endl;
        return 1;
    }

    SkinShooter shooter(output);
    shooter.start();
    EncoderSettings settings = sampleSettings();
    const int32_t result
        = show(&settings, 0x51u | VL_FLAG_HOST_APPLICATION, reinterpret_cast<intptr_t>(QCoreApplication::instance()));

    QTextStream out(stdout);
    for (const QString& file : shooter.written())
        out << file << Qt::endl;
    for (const QString& problem : shooter.errors())
        err << problem << Qt::endl;
    if (result != VL_DIALOG_REJECTED) {
        err << "the dialog run returned " << result << Qt::endl;
        return 1;
    }
    return shooter.errors().isEmpty() && shooter.written().size() == 2 ? 0 : 1;
}
