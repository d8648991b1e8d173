#include "testsandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTextStream>
#include <cstring>
#include <dlfcn.h>

namespace {
struct ModuleSource
{
    TestModule module;
    const char* variant;
    const char* fileName;
};

constexpr ModuleSource moduleSources[] = {
    { TestModule::Config, "standard", "vl_config_mpa.so" },
    { TestModule::ConfigWithoutEntry, "noentry", "vl_config_mpa.so" },
    { TestModule::Encoder, "standard", "vl_enc_mpa.so" },
    { TestModule::EncoderWithoutCheck, "nocheck", "vl_enc_mpa.so" },
    { TestModule::EncoderAlternative, "standard", "vl_mpgaout.so" },
    { TestModule::Import, "standard", "vl_mfimport.so" },
    { TestModule::Localize, "standard", "gui_mpa_localize.so" },
};

const ModuleSource& sourceOf(TestModule module)
{
    for (const ModuleSource& source : moduleSources) {
        if (source.module == module)
            return source;
    }
    return moduleSources[0];
}

// Replaces a file by a new one (new inode), which is safe even while the
// old one is still mapped somewhere.
bool replaceFile(const QString& source, const QString& target)
{
    QFile::remove(target);
    return QFile::copy(source, target);
}

QString controlFile()
{
    return QStringLiteral("vl_testmodules.ctl");
}

QString logFile()
{
    return QStringLiteral("vl_testmodules.log");
}

// Sandboxes live in the build tree: a temporary file system may forbid
// mapping code from it.
QString sandboxTemplate()
{
    QDir().mkpath(QStringLiteral(VL_E2E_WORK_DIR));
    return QStringLiteral(VL_E2E_WORK_DIR "/sandbox-XXXXXX");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}
} // namespace

TestSandbox::TestSandbox(const QList<TestModule>& modules)
    : directory(sandboxTemplate())
{
    if (!directory.isValid()) {
        errorText = QStringLiteral("cannot create a sandbox under ") + QStringLiteral(VL_E2E_WORK_DIR);
        return;
    }
    if (!replaceFile(QStringLiteral(VL_GUI_LIBRARY), libraryPath())) {
        errorText = QStringLiteral("cannot copy ") + QStringLiteral(VL_GUI_LIBRARY);
        return;
    }
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

QString TestSandbox::moduleFileName(TestModule module)
{
    return QLatin1String(sourceOf(module).fileName);
}

bool TestSandbox::setModules(const QList<TestModule>& modules)
{
    for (const ModuleSource& source : moduleSources)
        QFile::remove(filePath(QLatin1String(source.fileName)));
    for (TestModule module : modules) {
        const ModuleSource& source = sourceOf(module);
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
    return writeFile(filePath(controlFile()), lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

QStringList TestSandbox::callLog() const
{
    QFile file(filePath(logFile()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TestSandbox::callLog(const QString& module) const
{
    QStringList lines;
    const QString prefix = module + QLatin1Char(' ');
    const QStringList all = callLog();
    for (const QString& line : all) {
        if (line.startsWith(prefix))
            lines << line.mid(prefix.size());
    }
    return lines;
}

void TestSandbox::clearCallLog()
{
    QFile::remove(filePath(logFile()));
}

ShowMPAEncoderPagesFunc TestSandbox::entryPoint()
{
    if (!library) {
        library = dlopen(QFile::encodeName(libraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            errorText = QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
    }
    return reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages"));
}

int32_t TestSandbox::call(EncoderSettings* settings, uint32_t flags, intptr_t param)
{
    const ShowMPAEncoderPagesFunc function = entryPoint();
    return function ? function(settings, flags, param) : -1;
}

bool TestSandbox::isMapped(const QString& name) const
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    const QByteArray target = QFile::encodeName(QDir(path()).canonicalPath() + QLatin1Char('/') + name);
    const QByteArray contents = maps.readAll();
    return contents.contains(target + '\n');
}

RunResult TestSandbox::run(const RunOptions& options) const
{
    RunResult result;
    const QString settingsIn = filePath(QStringLiteral("runner-settings.in"));
    const QString settingsOut = filePath(QStringLiteral("runner-settings.out"));
    const QString observationsFile = filePath(QStringLiteral("runner-observations.txt"));
    QFile::remove(settingsOut);
    QFile::remove(observationsFile);
    writeFile(settingsIn, QByteArray(reinterpret_cast<const char*>(&options.settings), sizeof options.settings));

    QStringList arguments { QStringLiteral("--library"), libraryPath(), QStringLiteral("--settings-in"), settingsIn,
        QStringLiteral("--settings-out"), settingsOut, QStringLiteral("--observations"), observationsFile,
        QStringLiteral("--flags"), QString::number(options.flags), QStringLiteral("--parent"),
        QString::number(options.parent), QStringLiteral("--record-flags"), QString::number(options.recordFlags),
        QStringLiteral("--calls"), QString::number(options.calls), QStringLiteral("--timeout"),
        QString::number(options.timeoutMs), QStringLiteral("--script"), options.script };
    if (options.nullSettings)
        arguments << QStringLiteral("--null-settings");
    if (options.paramsMode == ParamsMode::Record)
        arguments << QStringLiteral("--record");
    if (options.paramsMode == ParamsMode::NullRecord)
        arguments << QStringLiteral("--null-record");
    if (options.title)
        arguments << QStringLiteral("--title") << QString::fromLatin1(*options.title);
    if (options.banner)
        arguments << QStringLiteral("--banner") << QString::fromLatin1(*options.banner);
    if (options.hostApplication)
        arguments << QStringLiteral("--host-application");

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& entry : options.environment) {
        const int equals = entry.indexOf(QLatin1Char('='));
        environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(path());
    process.start(QStringLiteral(VL_E2E_RUNNER), arguments);
    // The driver inside rejects everything at its own deadline; this one
    // only guards against a runner that hangs before the dialog.
    if (!process.waitForFinished(options.timeoutMs + 15000)) {
        process.kill();
        process.waitForFinished();
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.standardError = QString::fromUtf8(process.readAllStandardError());

    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("result=")))
            result.results << line.mid(7).toInt();
        else if (line.startsWith(QLatin1String("recordFlags=")))
            result.recordFlags = line.mid(12).toUInt();
    }
    QFile out(settingsOut);
    if (out.open(QIODevice::ReadOnly) && out.size() == sizeof result.settings)
        out.read(reinterpret_cast<char*>(&result.settings), sizeof result.settings);
    QFile observed(observationsFile);
    if (observed.open(QIODevice::ReadOnly))
        result.observations = QString::fromUtf8(observed.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return result;
}

QStringList RunResult::errorLines(const QString& text) const
{
    QStringList lines;
    const QStringList all = standardError.split(QLatin1Char('\n'));
    for (const QString& line : all) {
        if (line.contains(text))
            lines << line;
    }
    return lines;
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
    const QStringList values = dumpValues(observations, dump, key);
    return values.isEmpty() ? QString() : values.first();
}
} // namespace E2e
