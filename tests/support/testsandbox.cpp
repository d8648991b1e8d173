#include "testsandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
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
    { "nocheck", "vl_enc_mpa.so" },
    { "standard", "vl_mpgaout.so" },
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

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
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

bool TestSandbox::setControl(const QStringList& lines)
{
    return writeFile(filePath(QStringLiteral("vl_testmodules.ctl")), lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

QStringList TestSandbox::callLog() const
{
    return QString::fromUtf8(readFile(filePath(logFile))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TestSandbox::callLog(const QString& module) const
{
    QStringList lines;
    const QString prefix = module + QLatin1Char(' ');
    for (const QString& line : callLog()) {
        if (line.startsWith(prefix))
            lines << line.mid(prefix.size());
    }
    return lines;
}

void TestSandbox::clearCallLog()
{
    QFile::remove(filePath(logFile));
}

int32_t TestSandbox::call(EncoderSettings* settings, uint32_t flags, intptr_t param)
{
    if (!library) {
        library = dlopen(QFile::encodeName(libraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            errorText = QString::fromLocal8Bit(dlerror());
            return -1;
        }
    }
    const auto function = reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages"));
    return function ? function(settings, flags, param) : -1;
}

bool TestSandbox::isMapped(const QString& name) const
{
    const QByteArray target = QFile::encodeName(QDir(path()).canonicalPath() + QLatin1Char('/') + name);
    return readFile(QStringLiteral("/proc/self/maps")).contains(target + '\n');
}

// The runner works in the sandbox: it reads settings.in and writes
// settings.out and observations.txt there.
RunResult TestSandbox::run(const RunOptions& options) const
{
    QFile::remove(filePath(QStringLiteral("settings.out")));
    QFile::remove(filePath(QStringLiteral("observations.txt")));
    writeFile(filePath(QStringLiteral("settings.in")),
        QByteArray(reinterpret_cast<const char*>(&options.settings), sizeof options.settings));
    QStringList arguments { QStringLiteral("library=") + libraryPath(), QStringLiteral("flags=%1").arg(options.flags),
        QStringLiteral("parent=%1").arg(options.parent), QStringLiteral("record-flags=%1").arg(options.recordFlags),
        QStringLiteral("calls=%1").arg(options.calls), QStringLiteral("script=") + options.script };
    if (options.record)
        arguments << QStringLiteral("record");
    if (options.title)
        arguments << QStringLiteral("title=") + QString::fromLatin1(*options.title);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& entry : options.environment)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(path());
    process.start(QStringLiteral(VL_E2E_RUNNER), arguments);
    // The driver inside rejects everything at its own deadline; this one
    // only guards against a runner that hangs before the dialog.
    if (!process.waitForFinished(45000)) {
        process.kill();
        process.waitForFinished();
    }
    RunResult result;
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.standardError = QString::fromUtf8(process.readAllStandardError());
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("result=")))
            result.results << line.mid(7).toInt();
        else if (line.startsWith(QLatin1String("recordFlags=")))
            result.recordFlags = line.mid(12).toUInt();
    }
    const QByteArray settings = readFile(filePath(QStringLiteral("settings.out")));
    if (settings.size() == sizeof result.settings)
        std::memcpy(&result.settings, settings.constData(), sizeof result.settings);
    result.observations = QString::fromUtf8(readFile(filePath(QStringLiteral("observations.txt"))))
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return result;
}

void SandboxTest::initTestCase()
{
    sandbox = std::make_unique<TestSandbox>();
    QVERIFY2(sandbox->isValid(), qPrintable(sandbox->errorString()));
}

void SandboxTest::init()
{
    QVERIFY(sandbox->setModules(TestSandbox::standardModules()));
    QVERIFY(sandbox->setControl({}));
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

bool sameBytes(const EncoderSettings& a, const EncoderSettings& b, size_t from, size_t to)
{
    return std::memcmp(reinterpret_cast<const char*>(&a) + from, reinterpret_cast<const char*>(&b) + from, to - from)
        == 0;
}

QStringList dumpValues(const QStringList& observations, int dump, const QString& key)
{
    QStringList values;
    const QString prefix = QStringLiteral("dump %1 %2=").arg(dump).arg(key);
    for (const QString& line : observations) {
        if (line.startsWith(prefix))
            values << line.mid(prefix.size());
    }
    return values;
}

QString dumpValue(const QStringList& observations, int dump, const QString& key)
{
    return dumpValues(observations, dump, key).value(0);
}
} // namespace E2e
