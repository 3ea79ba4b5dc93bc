// What the parent and a worker process say to each other over their two
// pipes. The parent sends a design to run: its number (8 bytes; 0 means
// "stop") and the batch job to wait for, if any (8-byte length, bytes). The
// worker sends frames: a kind byte, an 8-byte length, the bytes.
#ifndef PORTAL_HOST_STUDY_WORKER_PROTOCOL_H
#define PORTAL_HOST_STUDY_WORKER_PROTOCOL_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace portalhost {

enum Frame : char {
  kRecord = 'R',      // a finished design (encodeRecord)
  kUnfinished = 'U',  // the interruption cut a design short (its number)
  kStarted = 'S',     // a design's solver started: "local:<group>" or "slurm:<job>"
  kFatal = 'F',       // the worker cannot work (the portal cannot be made)
};

// Whole writes and reads, through interrupted calls; false when the other
// side went away.
bool writeAll(int fd, const void* data, std::size_t size);
bool readAll(int fd, void* data, std::size_t size);

bool sendFrame(int fd, Frame kind, const std::string& bytes);
bool sendDesign(int fd, std::uint64_t number, const std::string& attachJob);
// False when the parent went away; number 0 asks the worker to stop.
bool receiveDesign(int fd, std::uint64_t& number, std::string& attachJob);

}  // namespace portalhost

#endif
