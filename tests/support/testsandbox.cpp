#include "testsandbox.h"

#include "dialogdriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest>
#include <dlfcn.h>

namespace {
// "<variant>/<file name>" in the test modules' directory, by TestModule.
const char* const moduleSources[]
    = { "standard/vl_config_mpa.so", "noentry/vl_config_mpa.so", "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" };

// A script for the application the library creates for the next call.
QString armedScript;
QStringList* armedLog = nullptr;

void startArmedDriver()
{
    if (armedLog)
        new DialogDriver(std::exchange(armedScript, QString()), std::exchange(armedLog, nullptr), qApp);
}
Q_COREAPP_STARTUP_FUNCTION(startArmedDriver)

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// In the build tree: a temporary file system may forbid mapping code from it.
TestSandbox::TestSandbox(const QList<TestModule>& modules)
    : directory((QDir().mkpath(VL_E2E_WORK_DIR), QStringLiteral(VL_E2E_WORK_DIR "/sandbox-XXXXXX")))
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
    for (const char* source : moduleSources)
        QFile::remove(directory.filePath(QString::fromLatin1(source).section('/', 1)));
    return std::all_of(modules.begin(), modules.end(), [this](TestModule module) {
        return addFile(QStringLiteral(VL_TESTMODULES_DIR "/") + QLatin1String(moduleSources[int(module)]));
    });
}

// Removed first, so the copy is a new file, which is safe even while the old
// one is still mapped.
bool TestSandbox::addFile(const QString& source)
{
    const QString target = directory.filePath(source.section('/', -1));
    QFile::remove(target);
    if (!QFile::copy(source, target))
        errorText = QStringLiteral("cannot copy ") + source + QStringLiteral(" into a sandbox");
    return errorText.isEmpty();
}

QStringList TestSandbox::callLog() const
{
    return QString::fromUtf8(readFile(filePath("vl_testmodules.log"))).split('\n', Qt::SkipEmptyParts);
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
    std::tie(armedScript, armedLog) = std::pair(script, log ? log : &unused);
    const std::unique_ptr<DialogDriver> driver(qApp ? new DialogDriver(script, armedLog) : nullptr);
    const int32_t result = show(settings, flags, param);
    armedLog = nullptr; // a failed start created no application
    return result;
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
