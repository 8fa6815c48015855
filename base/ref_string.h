// RefString: the reference-counted, copy-on-write ANSI string that the
// registry registration is written with, and its printf-like formatter.
#pragma once

// One pointer per object, to the first character of a NUL-terminated text
// that follows a 16-byte block header. Copies share the block; every change
// makes the block private first. Small blocks are recycled through free
// lists, and one process-wide lock guards every allocation, release and
// change of a block. A single object is used by one thread at a time.
class RefString {
 public:
  RefString();
  RefString(const char* text);  // null or "" give the empty string
  RefString(const RefString& other);
  ~RefString();
  RefString& operator=(const RefString& other);
  RefString& operator=(const char* text);

  void Assign(const char* text);
  void Assign(const RefString& other);
  void Append(const char* text);
  void Append(const char* bytes, int count);
  void Append(const RefString& other);
  void AppendChar(char character);

  // Conversions: %s (precision cuts the text; null appends nothing),
  // %! (a const RefString*), c C d i o u x X and e E f g G as the C
  // library formats them ("ll" takes a 64-bit argument, "L" and "*" are
  // ignored), %p a pointer. %n and %S end the conversions: the rest of the
  // format is appended as it stands. Any other character after "%" is
  // appended itself. Arguments must not point into this string.
  void Format(const char* format, ...);

  char* GetBuffer(int count);  // room for count characters and a NUL
  void ReleaseBuffer(int length = -1);  // -1: up to the first NUL
  void Empty();
  void Reserve(int count);

  const char* Text() const { return text_; }
  int Length() const;
  bool IsEmpty() const { return Length() == 0; }

  // Read-only inspection, for tests and diagnostics.
  struct BlockInfo {
    long refCount;
    int length;
    int capacity;
    bool isEmptyRepresentation;
  };
  BlockInfo Inspect() const;
  static long BlocksAllocated();       // blocks handed out since start
  static int FreeBlocks(int capacity);  // blocks waiting in capacity's free list
  static int LockDepth();              // how deep the lock's owner is inside it

 private:
  char* text_;
};
