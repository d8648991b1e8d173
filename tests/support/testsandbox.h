#ifndef VL_SUPPORT_TESTSANDBOX_H
#define VL_SUPPORT_TESTSANDBOX_H

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_settings.h>

// The test companion modules a sandbox can hold, each copied under the file
// name the library looks for.
enum class TestModule {
    Config, // vl_config_mpa.so
    ConfigWithoutEntry, // vl_config_mpa.so lacking MPAConfigGetAPIExt
    Encoder, // vl_enc_mpa.so
    EncoderWithoutCheck, // vl_enc_mpa.so lacking mpegOutAudioChkSettings
    EncoderAlternative, // vl_mpgaout.so
    Import, // vl_mfimport.so
    Localize // gui_mpa_localize.so
};
Q_DECLARE_METATYPE(TestModule)

// One call, or several in a row, of showMPAEncoderPages in a child process
// that, like a plain host, has no application object of its own.
struct RunOptions
{
    EncoderSettings settings {};
    uint32_t flags = 0x71;
    uint64_t parent = 0;
    // Passes a DialogParams record (with the title, if any) instead of the
    // parent itself.
    bool record = false;
    uint32_t recordFlags = 0; // what the record's flags hold before the call
    std::optional<QByteArray> title;
    QString script; // DialogDriver commands for each call's dialog
    int calls = 1;
    QStringList environment; // extra "NAME=value" for the child
};

struct RunResult
{
    bool finished = false; // the runner exited normally
    int exitCode = -1;
    QList<int32_t> results; // one per call
    EncoderSettings settings {};
    uint32_t recordFlags = 0;
    QStringList observations; // the DialogDriver's lines, all calls
    QString standardError; // includes the library's debug output
};

// A private directory holding a copy of libvl_gui_mpa.so and the chosen
// test modules beside it, so the library finds exactly those through its
// $ORIGIN run path. The modules read the control file and append to the
// call log in this directory (format in tests/support/testmodules/testcontrol.h).
//
// In-process calls load the library copy once and keep it: keep one sandbox
// for a whole test class and change its modules with setModules(). The
// library unloads the modules after every call, so a changed module file is
// the one loaded by the next call.
class TestSandbox
{
public:
    explicit TestSandbox(const QList<TestModule>& modules = standardModules());
    ~TestSandbox();
    TestSandbox(const TestSandbox&) = delete;
    TestSandbox& operator=(const TestSandbox&) = delete;

    // Settings-file, encoder and import module.
    static QList<TestModule> standardModules();

    bool isValid() const { return errorText.isEmpty(); }
    QString errorString() const { return errorText; }
    QString path() const { return directory.path(); }
    QString filePath(const QString& name) const { return directory.filePath(name); }
    QString libraryPath() const { return filePath(QStringLiteral("libvl_gui_mpa.so")); }

    // Removes every module file and copies these instead.
    bool setModules(const QList<TestModule>& modules);
    // Copies any other file into the sandbox under the given name.
    bool addFile(const QString& source, const QString& name);
    // Writes the control file (one "key=value" per entry).
    bool setControl(const QStringList& lines);
    // The call log, all modules; or the lines of one module without its
    // name, e.g. callLog("vl_enc_mpa") gives "check 0 48000 ...".
    QStringList callLog() const;
    QStringList callLog(const QString& module) const;
    void clearCallLog();

    // Calls the library copy in this process (loading it on first use).
    // Returns -1 when the library could not be loaded.
    int32_t call(EncoderSettings* settings, uint32_t flags, intptr_t param);
    // Whether a file of this sandbox is mapped into this process.
    bool isMapped(const QString& name) const;

    // Runs the calls in a child process (the runner executable).
    RunResult run(const RunOptions& options) const;

private:
    QTemporaryDir directory;
    QString errorText;
    void* library = nullptr;
};

// Base of a test class that calls through one sandbox: initTestCase()
// creates it with the standard modules, and init() gives it those modules
// back with an empty control file and call log before each test. A derived
// class's own initTestCase() or init() can call these first.
class SandboxTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestSandbox> sandbox;

protected slots:
    void initTestCase();
    void init();
};

// Helpers for building blocks and reading observations.
namespace E2e {
// A host block for MPEG-1 Layer II, 48 kHz, 224 kbps (index 11), joint
// stereo, psychoacoustic model 1, audio type 0, with every opaque and
// context byte set to a position-dependent pattern, so that a byte-wise
// comparison notices any write.
EncoderSettings hostSettings();
// Whether bytes [from, to) of two blocks are equal.
bool sameBytes(const EncoderSettings& a, const EncoderSettings& b, size_t from = 0, size_t to = VL_SETTINGS_SIZE);
// Values of one key in the k-th dump (1-based) of a driver's observations.
QStringList dumpValues(const QStringList& observations, int dump, const QString& key);
QString dumpValue(const QStringList& observations, int dump, const QString& key);
} // namespace E2e

#endif
