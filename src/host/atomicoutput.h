#ifndef VL_HOST_ATOMICOUTPUT_H
#define VL_HOST_ATOMICOUTPUT_H

#include <string>
#include <vector>

namespace vl::host {

// An output file that appears under its name only when it is complete: the
// bytes go to a new temporary file beside it, which commit() flushes to disk
// and renames over the name. Until then the temporary file is removed when
// this object goes, and also when SIGINT, SIGTERM or SIGHUP ends the
// process, so no partial output is ever left. One at a time per process.
class AtomicOutput
{
public:
    explicit AtomicOutput(const std::string& path);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool isOpen() const { return descriptor >= 0; }
    // "<path>: <reason>" of the last failure.
    const std::string& errorString() const { return error; }

    bool write(const std::vector<unsigned char>& bytes);
    // A new file gets the mode of an ordinary new file (the umask applies),
    // a replaced one keeps its mode.
    bool commit();

private:
    bool failed(const std::string& reason);
    void discard();

    std::string path;
    std::string temporary;
    int descriptor = -1;
    unsigned mode = 0666;
    std::string error;
};

} // namespace vl::host

#endif
