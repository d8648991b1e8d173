#ifndef VL_SUPPORT_TESTSANDBOX_H
#define VL_SUPPORT_TESTSANDBOX_H

#include "settingsfields.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <veltrano/mpa_dialog.h>

// The test companion modules (tests/support/testmodules) a sandbox can hold,
// each under the file name the library looks for.
enum class TestModule {
    Config, // vl_config_mpa.so
    ConfigWithoutEntry, // vl_config_mpa.so lacking MPAConfigGetAPIExt
    Encoder, // vl_enc_mpa.so
    Import // vl_mfimport.so
};

// A private directory with a copy of libvl_gui_mpa.so and the chosen modules
// beside it, which the library finds through its $ORIGIN run path. The copy
// is loaded on the first call and kept, so a test class keeps one sandbox;
// the library unloads the modules after every call, so changed module files
// are the ones the next call loads.
class TestSandbox
{
public:
    static inline const QList<TestModule> standardModules
        = { TestModule::Config, TestModule::Encoder, TestModule::Import };

    explicit TestSandbox(const QList<TestModule>& modules = standardModules);
    ~TestSandbox();
    TestSandbox(const TestSandbox&) = delete;
    TestSandbox& operator=(const TestSandbox&) = delete;

    // Empty while everything worked.
    QString errorString() const { return errorText; }
    QString path() const { return directory.path(); }
    QString filePath(const QString& name) const { return directory.filePath(name); }
    QString libraryPath() const { return filePath(QStringLiteral("libvl_gui_mpa.so")); }

    // Removes every module file and copies these instead.
    bool setModules(const QList<TestModule>& modules);
    // Copies a file into the sandbox, replacing one of its name.
    bool addFile(const QString& source);
    // The modules' calls, e.g. "vl_enc_mpa check 0 48000".
    QStringList callLog() const;
    void clearCallLog();
    // Whether a module file of this sandbox is mapped into this process.
    bool anyModuleMapped() const;

    // Calls showMPAEncoderPages of the library copy in this process while a
    // DialogDriver works through `script` into `log`; -1 when the library
    // could not be loaded.
    int32_t call(EncoderSettings* settings, uint32_t flags, intptr_t param, const QString& script = QString(),
        QStringList* log = nullptr);

private:
    QTemporaryDir directory;
    QString errorText;
    void* library = nullptr;
};

// Base of a test class that calls through one sandbox, which has the
// standard modules and an empty call log before each test.
class SandboxTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestSandbox> sandbox;

protected slots:
    void initTestCase();
    void init();
};

#endif
