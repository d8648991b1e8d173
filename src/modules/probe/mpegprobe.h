/*
 * Reads the encoding parameters of the first MPEG-1/2 Layer I or Layer II
 * audio stream of a file: elementary streams, program streams, transport
 * streams, ISO base media, MXF and DVD IFO files. The content decides the
 * container, not the file name. Reads are bounded: a probe never reads the
 * whole file, whatever its size.
 *
 * Plain C++17 without dependencies; shared by the settings-file module and
 * the import module.
 *
 *     const vl::probe::ProbeResult r = vl::probe::probeFile(path);
 *     if (r.status == vl::probe::Status::Ok) { use r.audio ... }
 */
#ifndef VL_PROBE_MPEGPROBE_H
#define VL_PROBE_MPEGPROBE_H

#include <cstddef>
#include <cstdint>

namespace vl::probe {

enum class Status {
    Ok = 0,
    OpenFailed, // the file cannot be opened or is not a regular file
    ReadFailed, // an I/O error while reading
    NoAudio, // no confirmed MPEG audio stream (garbage, truncated, no audio track)
    UnsupportedLayer, // a confirmed stream, but Layer III
    FreeFormat, // a confirmed stream in free format (bitrate index 0)
    ReservedValue, // a confirmed stream with a reserved emphasis, or an MPEG-2.5 rate
    Malformed // the container's structure contradicts itself (box sizes that lie, ...)
};

// Same numbering as VL_CONTAINER_* of veltrano/mpa_modules.h.
enum class Container {
    Unknown = 0,
    Elementary = 1,
    ProgramStream = 2,
    TransportStream = 3,
    IsoMedia = 4,
    Mxf = 5,
    DvdIfo = 6
};

// Which fields of AudioParams hold values read from the file. A DVD IFO
// without its VOB beside it only knows the layer, the rate and the channels.
enum AudioField : uint32_t {
    FieldLayer = 1u << 0,
    FieldMode = 1u << 1,
    FieldBitrate = 1u << 2,
    FieldSampleFrequency = 1u << 3,
    FieldEmphasis = 1u << 4,
    FieldHeaderBits = 1u << 5, // private, copyright, original, error protection
    FieldAll = 0x3f
};

// Header fields of the first confirmed frame, in the codes of EncoderSettings.
struct AudioParams
{
    uint32_t fields = 0; // AudioField bits that are valid
    int mpegVersion = 0; // 1 = ISO/IEC 11172-3, 2 = ISO/IEC 13818-3 lower sampling frequencies
    int layer = 0; // 1 or 2
    int mode = 0; // 0 stereo, 1 joint stereo (if any of the first frames uses it), 2 dual, 3 mono
    int bitrateIndex = 0; // 1..14
    int bitrateKbps = 0; // the index resolved for version and layer
    int sampleFrequency = 0; // Hz
    int emphasis = 0; // 0, 1 or 3
    bool privateBit = false;
    bool copyrightBit = false;
    bool originalBit = false;
    bool errorProtection = false; // CRC present
    int channels = 0; // 1 or 2
    int64_t audioOffset = -1; // file offset of the first confirmed frame; -1 when not known
};

struct ProbeResult
{
    Status status = Status::NoAudio;
    Container container = Container::Unknown; // the container recognised, also on failure
    AudioParams audio; // valid when status is Ok
    uint64_t bytesRead = 0; // bytes actually read from storage
};

// Probes the file at a UTF-8 path. Never throws.
ProbeResult probeFile(const char* path);

// Probes bytes in memory, as if they were a file's content. A DVD IFO in
// memory has no VOB beside it. Never throws.
ProbeResult probeMemory(const uint8_t* data, size_t size);

// Short English description of a status, for logs and test output.
const char* statusText(Status status);
const char* containerText(Container container);

} // namespace vl::probe

#endif
