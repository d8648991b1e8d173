#include "testsandbox.h"

#include "dialogdriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <dlfcn.h>

namespace {
// "<variant>/<file name>" in the test modules' directory, by TestModule.
const char* const moduleSources[]
    = { "standard/vl_config_mpa.so", "noentry/vl_config_mpa.so", "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" };

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sandboxes live in the build tree: a temporary file system may forbid
// mapping code from it.
QString sandboxTemplate()
{
    QDir().mkpath(QStringLiteral(VL_E2E_WORK_DIR));
    return QStringLiteral(VL_E2E_WORK_DIR "/sandbox-XXXXXX");
}
} // namespace

TestSandbox::TestSandbox(const QList<TestModule>& modules)
    : directory(sandboxTemplate())
{
    if (!QFile::copy(QStringLiteral(VL_GUI_LIBRARY), libraryPath()))
        errorText = QStringLiteral("cannot copy " VL_GUI_LIBRARY " into a sandbox");
    else
        setModules(modules);
}

TestSandbox::~TestSandbox()
{
    if (library)
        dlclose(library);
}

bool TestSandbox::setModules(const QList<TestModule>& modules)
{
    // Removed first, so the copy is a new file (new inode), which is safe
    // even while the old one is still mapped.
    for (const char* source : moduleSources)
        QFile::remove(directory.filePath(QString::fromLatin1(source).section('/', 1)));
    for (const TestModule module : modules) {
        const QString source = QLatin1String(moduleSources[int(module)]);
        if (!QFile::copy(QStringLiteral(VL_TESTMODULES_DIR "/") + source, directory.filePath(source.section('/', 1)))) {
            errorText = QStringLiteral("cannot copy ") + source;
            return false;
        }
    }
    return true;
}

QStringList TestSandbox::callLog() const
{
    return QString::fromUtf8(readFile(directory.filePath(QStringLiteral("vl_testmodules.log"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestSandbox::clearCallLog()
{
    QFile::remove(directory.filePath(QStringLiteral("vl_testmodules.log")));
}

bool TestSandbox::anyModuleMapped() const
{
    return readFile(QStringLiteral("/proc/self/maps"))
        .contains(QFile::encodeName(QDir(path()).canonicalPath()) + "/vl_");
}

int32_t TestSandbox::call(
    EncoderSettings* settings, uint32_t flags, intptr_t param, const QString& script, QStringList* log)
{
    if (!library)
        library = dlopen(QFile::encodeName(libraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
    const auto show
        = library ? reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages")) : nullptr;
    if (!show)
        return -1;
    QStringList unused;
    std::unique_ptr<DialogDriver> driver;
    if (QCoreApplication::instance())
        driver = std::make_unique<DialogDriver>(script, log ? log : &unused);
    else
        DialogDriver::armForNextApplication(script, log ? log : &unused);
    const int32_t result = show(settings, flags, param);
    DialogDriver::armForNextApplication(QString(), nullptr); // a failed start created no application
    return result;
}

EncoderSettings SandboxTest::hostSettings()
{
    EncoderSettings settings;
    auto* const bytes = reinterpret_cast<unsigned char*>(&settings);
    for (size_t i = 0; i < sizeof settings; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + 3) % 251);
    settings.mode = VL_MODE_JOINT_STEREO;
    settings.layer = 2;
    settings.psychModel = 1;
    settings.bitrateIndex = 11;
    settings.emphasis = settings.privateBit = settings.errorProtection = 0;
    settings.copyrightBit = settings.originalBit = 0;
    settings.audioType = VL_AUDIO_MPEG1;
    settings.sampleFrequency = 48000;
    return settings;
}

void SandboxTest::initTestCase()
{
    sandbox = std::make_unique<TestSandbox>();
    QVERIFY2(sandbox->errorString().isEmpty(), qPrintable(sandbox->errorString()));
}

void SandboxTest::init()
{
    QVERIFY(sandbox->setModules(TestSandbox::standardModules));
    sandbox->clearCallLog();
}
