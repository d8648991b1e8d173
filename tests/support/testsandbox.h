#ifndef VL_SUPPORT_TESTSANDBOX_H
#define VL_SUPPORT_TESTSANDBOX_H

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <veltrano/mpa_dialog.h>

// The test companion modules a sandbox can hold, each copied under the file
// name the library looks for.
enum class TestModule {
    Config, // vl_config_mpa.so
    ConfigWithoutEntry, // vl_config_mpa.so lacking MPAConfigGetAPIExt
    Encoder, // vl_enc_mpa.so
    Import // vl_mfimport.so
};
Q_DECLARE_METATYPE(TestModule)

// A private directory holding a copy of libvl_gui_mpa.so and the chosen test
// modules beside it, so the library finds exactly those through its $ORIGIN
// run path. The modules append their calls to the call log in this directory
// (see tests/support/testmodules/calllog.h).
//
// The library copy is loaded on the first call and kept: keep one sandbox for
// a whole test class and change its modules with setModules(). The library
// unloads the modules after every call, so a changed module file is the one
// loaded by the next call.
class TestSandbox
{
public:
    // Settings-file, encoder and import module.
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
    QString libraryPath() const { return directory.filePath(QStringLiteral("libvl_gui_mpa.so")); }

    // Removes every module file and copies these instead.
    bool setModules(const QList<TestModule>& modules);
    // The call log of all modules, e.g. "vl_enc_mpa check 0 48000".
    QStringList callLog() const;
    void clearCallLog();
    // Whether a module file of this sandbox is mapped into this process.
    bool anyModuleMapped() const;

    // Calls showMPAEncoderPages of the library copy in this process while a
    // DialogDriver works through `script` (see dialogdriver.h), into `log`.
    // Returns -1 when the library could not be loaded.
    int32_t call(EncoderSettings* settings, uint32_t flags, intptr_t param, const QString& script = QString(),
        QStringList* log = nullptr);

private:
    QTemporaryDir directory;
    QString errorText;
    void* library = nullptr;
};

// Base of a test class that calls through one sandbox: initTestCase()
// creates it, and init() gives it the standard modules back with an empty
// call log before each test.
class SandboxTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestSandbox> sandbox;

    // A host block for MPEG-1 Layer II, 48 kHz, 224 kbps (index 11), joint
    // stereo, model 1, audio type 0, with every other byte set to a
    // position-dependent pattern, so that a byte-wise comparison notices any
    // write.
    static EncoderSettings hostSettings();

protected slots:
    void initTestCase();
    void init();
};

#endif
