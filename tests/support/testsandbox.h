#ifndef VL_SUPPORT_TESTSANDBOX_H
#define VL_SUPPORT_TESTSANDBOX_H

#include "settingsfields.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <veltrano/mpa_dialog.h>

// The stand-in modules of tests/support/testmodules a sandbox can hold: the
// settings-file module (also one lacking MPAConfigGetAPIExt), vl_enc_mpa, vl_mfimport.
enum class TestModule { Config, ConfigWithoutEntry, Encoder, Import };

// A directory with a copy of libvl_gui_mpa.so and the chosen modules beside
// it, where its $ORIGIN run path finds them. The copy is loaded on the first
// call and kept; the modules are loaded anew by every call.
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
    void clearCallLog() { QFile::remove(filePath(QStringLiteral("vl_testmodules.log"))); }
    // Whether a module file of this sandbox is mapped into this process.
    bool anyModuleMapped() const;

    // Calls the copy's showMPAEncoderPages while a DialogDriver works through
    // `script` into `log`; -1 when the copy cannot be loaded.
    int32_t call(EncoderSettings* settings, uint32_t flags, intptr_t param, const QString& script = QString(),
        QStringList* log = nullptr);

private:
    QTemporaryDir directory;
    QString errorText;
    void* library = nullptr;
};

// A test class's one sandbox: standard modules, empty log before each test.
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
