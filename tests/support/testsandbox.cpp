#include "testsandbox.h"

#include "dialogdriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <cstring>
#include <dlfcn.h>

namespace {
struct ModuleSource
{
    const char* variant;
    const char* fileName;
};

// Indexed by TestModule.
constexpr ModuleSource moduleSources[] = {
    { "standard", "vl_config_mpa.so" },
    { "noentry", "vl_config_mpa.so" },
    { "standard", "vl_enc_mpa.so" },
    { "standard", "vl_mfimport.so" },
    { "standard", "gui_mpa_localize.so" },
};

const QString logFile = QStringLiteral("vl_testmodules.log");

// Replaces a file by a new one (new inode), which is safe even while the
// old one is still mapped somewhere.
bool replaceFile(const QString& source, const QString& target)
{
    QFile::remove(target);
    return QFile::copy(source, target);
}

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
    if (!directory.isValid())
        errorText = QStringLiteral("cannot create a sandbox under " VL_E2E_WORK_DIR);
    else if (!replaceFile(QStringLiteral(VL_GUI_LIBRARY), libraryPath()))
        errorText = QStringLiteral("cannot copy " VL_GUI_LIBRARY);
    else
        setModules(modules);
}

TestSandbox::~TestSandbox()
{
    if (library)
        dlclose(library);
}

QList<TestModule> TestSandbox::standardModules()
{
    return { TestModule::Config, TestModule::Encoder, TestModule::Import };
}

bool TestSandbox::setModules(const QList<TestModule>& modules)
{
    for (const ModuleSource& source : moduleSources)
        QFile::remove(filePath(QLatin1String(source.fileName)));
    for (TestModule module : modules) {
        const ModuleSource& source = moduleSources[int(module)];
        const QString from = QStringLiteral(VL_TESTMODULES_DIR "/%1/%2").arg(source.variant, source.fileName);
        if (!replaceFile(from, filePath(QLatin1String(source.fileName)))) {
            errorText = QStringLiteral("cannot copy ") + from;
            return false;
        }
    }
    return true;
}

bool TestSandbox::addFile(const QString& source, const QString& name)
{
    return replaceFile(source, filePath(name));
}

QStringList TestSandbox::callLog() const
{
    return QString::fromUtf8(readFile(filePath(logFile))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestSandbox::clearCallLog()
{
    QFile::remove(filePath(logFile));
}

bool TestSandbox::anyModuleMapped() const
{
    const QByteArray maps = readFile(QStringLiteral("/proc/self/maps"));
    for (const ModuleSource& source : moduleSources) {
        const QString file = QDir(path()).canonicalPath() + QLatin1Char('/') + QLatin1String(source.fileName);
        if (maps.contains(QFile::encodeName(file) + '\n'))
            return true;
    }
    return false;
}

int32_t TestSandbox::call(
    EncoderSettings* settings, uint32_t flags, intptr_t param, const QString& script, QStringList* log)
{
    if (!library) {
        library = dlopen(QFile::encodeName(libraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            errorText = QString::fromLocal8Bit(dlerror());
            return -1;
        }
    }
    const auto show = reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages"));
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

void SandboxTest::initTestCase()
{
    sandbox = std::make_unique<TestSandbox>();
    QVERIFY2(sandbox->errorString().isEmpty(), qPrintable(sandbox->errorString()));
}

void SandboxTest::init()
{
    QVERIFY(sandbox->setModules(TestSandbox::standardModules()));
    sandbox->clearCallLog();
}

namespace E2e {
EncoderSettings hostSettings()
{
    EncoderSettings settings;
    auto* const bytes = reinterpret_cast<unsigned char*>(&settings);
    for (size_t i = 0; i < sizeof settings; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + 3) % 251);
    settings.mode = VL_MODE_JOINT_STEREO;
    settings.layer = 2;
    settings.psychModel = 1;
    settings.bitrateIndex = 11;
    settings.emphasis = VL_EMPHASIS_NONE;
    settings.privateBit = 0;
    settings.errorProtection = 0;
    settings.copyrightBit = 0;
    settings.originalBit = 0;
    settings.audioType = VL_AUDIO_MPEG1;
    settings.sampleFrequency = 48000;
    return settings;
}

bool sameBytes(const EncoderSettings& a, const EncoderSettings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace E2e
