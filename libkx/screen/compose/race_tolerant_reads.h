#pragma once
// The composer reads the shown page while the application thread may be
// drawing into it, without a lock, by design: a frame may show half of an
// update and the next frame corrects it. The composer only ever copies the
// page into buffers of its own inside such a scope and works on the copy.
// Under ThreadSanitizer the scope tells the checker that these reads race
// on purpose; elsewhere it costs nothing.

#if defined(__SANITIZE_THREAD__)
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
#endif

namespace kx {

class race_tolerant_reads {
 public:
#if defined(__SANITIZE_THREAD__)
  race_tolerant_reads() { AnnotateIgnoreReadsBegin(__FILE__, __LINE__); }
  ~race_tolerant_reads() { AnnotateIgnoreReadsEnd(__FILE__, __LINE__); }
#else
  race_tolerant_reads() = default;
#endif
  race_tolerant_reads(const race_tolerant_reads&) = delete;
  race_tolerant_reads& operator=(const race_tolerant_reads&) = delete;
};

}  // namespace kx
