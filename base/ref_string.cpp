// RefString (see ref_string.h): blocks and their header, the pool of free
// lists, the process-wide lock and the formatter.
#include "base/ref_string.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ref_string_lock.h"

namespace {

// The characters follow this header directly; a RefString points at them.
struct Block {
  volatile std::int32_t refCount;  // changed only through the atomic steps below
  std::int32_t length;
  std::int32_t capacity;           // (requested characters + 16) | 3
  std::uint8_t charsetMark;        // character-set marks: reserved, never used here
  std::uint8_t charsetFlags;
  std::uint16_t codePage;
};
static_assert(sizeof(Block) == 16, "the characters start 16 bytes into a block");

// The static block every empty string shares. Its count starts at 2 so that
// balanced use never brings it to 0, and the release path never frees it.
struct EmptyRepresentation {
  Block header;
  char text[4];
};
EmptyRepresentation emptyRepresentation = {{2, 0, 0, 0, 0, 0}, {0}};

constexpr int kPoolLimit = 384;            // blocks below this size are pooled
constexpr int kFreeListCount = kPoolLimit / 4;  // 96 lists, by size / 4
constexpr int kMaxCharacters = 0x7FFFFF00;  // keeps capacity + 9 within an int
constexpr int kKeptOnEmpty = 256;          // Empty keeps private blocks up to this

void* freeLists[kFreeListCount];  // threaded through the first word of each block
long blocksAllocated = 0;

int lockDepth = 0;  // how deep the owner is inside the lock

// A copy takes its share of a block without the lock, so the counts move
// by atomic steps, each a full barrier.
std::int32_t Increment(volatile std::int32_t* count) {
  return __atomic_add_fetch(count, 1, __ATOMIC_SEQ_CST);
}
std::int32_t Decrement(volatile std::int32_t* count) {
  return __atomic_sub_fetch(count, 1, __ATOMIC_SEQ_CST);
}

class ScopedLock {
 public:
  ScopedLock() {
    EnterRefStringLock();
    ++lockDepth;
  }
  ~ScopedLock() {
    --lockDepth;
    LeaveRefStringLock();
  }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;
};

Block* EmptyBlock() { return &emptyRepresentation.header; }
char* CharsOf(Block* block) { return reinterpret_cast<char*>(block + 1); }
Block* BlockOf(const char* text) {
  return reinterpret_cast<Block*>(const_cast<char*>(text)) - 1;
}
int CapacityFor(int count) { return (count + 16) | 3; }

Block* TakePooledBlock(int size) {
  void* head = freeLists[size / 4];
  if (head == nullptr) return nullptr;
  std::memcpy(&freeLists[size / 4], head, sizeof(void*));
  return static_cast<Block*>(head);
}

Block* AllocateBlock(int count) {
  if (count < 0 || count > kMaxCharacters) std::abort();
  int capacity = CapacityFor(count);
  int size = capacity + 1;
  ScopedLock guard;
  Block* block = size < kPoolLimit ? TakePooledBlock(size) : nullptr;
  if (block == nullptr) block = static_cast<Block*>(std::malloc(capacity + 9));
  // Heap exhaustion is not reported to callers: failing here is better than
  // handing out a buffer that is not there.
  if (block == nullptr) std::abort();
  ++blocksAllocated;
  *block = Block{1, 0, capacity, 0, 0, 0};
  CharsOf(block)[0] = '\0';
  return block;
}

void FreeBlock(Block* block) {
  int size = block->capacity + 1;
  if (size >= kPoolLimit) {
    std::free(block);
    return;
  }
  ScopedLock guard;
  std::memcpy(block, &freeLists[size / 4], sizeof(void*));
  freeLists[size / 4] = block;
}

void ReleaseBlock(Block* block) {
  ScopedLock guard;
  if (block->refCount <= 0) return;
  if (Decrement(&block->refCount) == 0 && block != EmptyBlock()) FreeBlock(block);
}

// Points text at fresh and lets go of the block it held before.
void SwitchBlock(char*& text, Block* fresh) {
  Block* old = BlockOf(text);
  text = CharsOf(fresh);
  ReleaseBlock(old);
}

void SwitchToEmpty(char*& text) {
  Increment(&EmptyBlock()->refCount);
  SwitchBlock(text, EmptyBlock());
}

bool PointsInto(const char* bytes, const char* text, int length) {
  auto at = reinterpret_cast<std::uintptr_t>(bytes);
  auto begin = reinterpret_cast<std::uintptr_t>(text);
  return at >= begin && at <= begin + static_cast<std::uintptr_t>(length);
}

}  // namespace

RefString::RefString() : text_(emptyRepresentation.text) {
  Increment(&EmptyBlock()->refCount);
}

RefString::RefString(const char* text) : RefString() { Assign(text); }

RefString::RefString(const RefString& other) : text_(other.text_) {
  Increment(&BlockOf(text_)->refCount);
}

RefString::~RefString() { ReleaseBlock(BlockOf(text_)); }

RefString& RefString::operator=(const RefString& other) {
  Assign(other);
  return *this;
}

RefString& RefString::operator=(const char* text) {
  Assign(text);
  return *this;
}

int RefString::Length() const { return BlockOf(text_)->length; }

void RefString::Assign(const char* text) {
  ScopedLock guard;
  Block* own = BlockOf(text_);
  if (text == nullptr || text[0] == '\0') {
    if (own != EmptyBlock()) SwitchToEmpty(text_);
    return;
  }
  int length = static_cast<int>(std::strlen(text));
  if (own != EmptyBlock() && own->refCount == 1 && own->capacity >= length + 16) {
    std::memmove(text_, text, length + 1);  // text may lie in this very block
    own->length = length;
    return;
  }
  Block* fresh = AllocateBlock(length);
  std::memcpy(CharsOf(fresh), text, length + 1);
  fresh->length = length;
  SwitchBlock(text_, fresh);
}

void RefString::Assign(const RefString& other) {
  if (this == &other) return;
  Increment(&BlockOf(other.text_)->refCount);
  SwitchBlock(text_, BlockOf(other.text_));
}

void RefString::Reserve(int count) {
  ScopedLock guard;
  Block* own = BlockOf(text_);
  if (own->refCount == 1 && own->capacity >= CapacityFor(count)) return;
  int length = own->length;
  Block* fresh = AllocateBlock(count > length ? count : length);
  std::memcpy(CharsOf(fresh), text_, length + 1);
  fresh->length = length;
  SwitchBlock(text_, fresh);
}

char* RefString::GetBuffer(int count) {
  Reserve(count);
  return text_;
}

void RefString::ReleaseBuffer(int length) {
  if (length < 0) length = static_cast<int>(std::strlen(text_));
  // A shared block (no GetBuffer before) must not change under its other owners.
  Block* own = BlockOf(text_);
  if (own->refCount != 1 || length + 16 > own->capacity) Reserve(length);
  own = BlockOf(text_);
  own->length = length;
  text_[length] = '\0';
}

void RefString::Empty() {
  if (text_ == emptyRepresentation.text) return;
  ScopedLock guard;
  Block* own = BlockOf(text_);
  if (own->refCount == 1 && own->capacity <= kKeptOnEmpty) {
    own->length = 0;
    text_[0] = '\0';
    return;
  }
  SwitchToEmpty(text_);
}

void RefString::Append(const char* bytes, int count) {
  if (bytes == nullptr || count <= 0) return;
  int length = Length();
  if (count > kMaxCharacters - length) std::abort();
  // Appending part of itself: the copy keeps the source block alive while
  // Reserve moves this string to a new one.
  RefString source;
  if (PointsInto(bytes, text_, length)) source = *this;
  Reserve(length + count);
  std::memcpy(text_ + length, bytes, count);
  text_[length + count] = '\0';
  BlockOf(text_)->length = length + count;
}

void RefString::Append(const char* text) {
  if (text != nullptr) Append(text, static_cast<int>(std::strlen(text)));
}

void RefString::Append(const RefString& other) { Append(other.text_, other.Length()); }

void RefString::AppendChar(char character) { Append(&character, 1); }

// ---- Formatter ------------------------------------------------------------------
namespace {

constexpr char kSpecCharacters[] = "-+0 #*.123456789hlL";

// The precision of an "s" conversion: what follows the first "." of the
// spec, read as a decimal number; a value outside [0, length) cuts nothing.
int CutLength(const char* spec, const char* specEnd, int length) {
  const char* dot = static_cast<const char*>(std::memchr(spec, '.', specEnd - spec));
  if (dot == nullptr || dot + 1 == specEnd) return length;
  long precision = std::strtol(dot + 1, nullptr, 10);  // stops at the conversion
  return precision >= 0 && precision < length ? static_cast<int>(precision) : length;
}

void AppendText(RefString& out, const char* spec, const char* specEnd, const char* text) {
  if (text == nullptr) return;  // a null text appends nothing, like an empty one
  int length = static_cast<int>(std::strlen(text));
  out.Append(text, CutLength(spec, specEnd, length));
}

// The C library formats straight into the string's own buffer, measured
// first, so no conversion is ever cut.
template <typename Value>
void AppendPrinted(RefString& out, const char* spec, Value value) {
  int needed = std::snprintf(nullptr, 0, spec, value);
  if (needed <= 0) return;
  int length = out.Length();
  char* buffer = out.GetBuffer(length + needed);
  std::snprintf(buffer + length, static_cast<std::size_t>(needed) + 1, spec, value);
  out.ReleaseBuffer(length + static_cast<int>(std::strlen(buffer + length)));
}

// "*" takes no argument here and "L" would make the C library expect a long
// double, so both are left out of the conversion handed to snprintf; "ll" takes 64 bits.
void AppendNumber(RefString& out, const char* spec, const char* specEnd, va_list* args) {
  RefString cleaned;
  for (const char* c = spec; c <= specEnd; ++c) {
    if (*c != '*' && *c != 'L') cleaned.AppendChar(*c);
  }
  char conversion = *specEnd;
  bool wide = std::strstr(cleaned.Text(), "ll") != nullptr;
  if (conversion == 'p') {
    AppendPrinted(out, cleaned.Text(), va_arg(*args, void*));
  } else if (std::strchr("eEfgG", conversion) != nullptr) {
    AppendPrinted(out, cleaned.Text(), va_arg(*args, double));
  } else if (wide && std::strchr("diouxX", conversion) != nullptr) {
    AppendPrinted(out, cleaned.Text(), va_arg(*args, long long));
  } else {
    AppendPrinted(out, cleaned.Text(), va_arg(*args, int));
  }
}

// Appends the conversion whose "%" is at spec. Returns where the literal
// text continues, or null when nothing more of the format is looked at.
const char* AppendConversion(RefString& out, const char* spec, va_list* args) {
  const char* end = spec + 1;
  while (*end != '\0' && std::strchr(kSpecCharacters, *end) != nullptr) ++end;
  char conversion = *end;
  if (conversion == '\0') return nullptr;
  if (conversion == 'n' || conversion == 'S') {
    out.Append(end + 1);
    return nullptr;
  }
  if (conversion == 's') {
    AppendText(out, spec, end, va_arg(*args, const char*));
  } else if (conversion == '!') {
    const RefString* other = va_arg(*args, const RefString*);
    if (other != nullptr) out.Append(*other);
  } else if (std::strchr("cCdiouxXpeEfgG", conversion) != nullptr) {
    AppendNumber(out, spec, end, args);
  } else {
    out.AppendChar(conversion);
  }
  return end + 1;
}

void AppendFormatted(RefString& out, const char* format, va_list* args) {
  const char* cursor = format;
  while (cursor != nullptr && *cursor != '\0') {
    const char* percent = std::strchr(cursor, '%');
    if (percent == nullptr) {
      out.Append(cursor);
      return;
    }
    out.Append(cursor, static_cast<int>(percent - cursor));
    cursor = AppendConversion(out, percent, args);
  }
}

}  // namespace

void RefString::Format(const char* format, ...) {
  Empty();
  va_list args;
  va_start(args, format);
  AppendFormatted(*this, format, &args);
  va_end(args);
}

// ---- Inspection -------------------------------------------------------------------
RefString::BlockInfo RefString::Inspect() const {
  const Block* block = BlockOf(text_);
  return {block->refCount, block->length, block->capacity, block == EmptyBlock()};
}

long RefString::BlocksAllocated() {
  ScopedLock guard;
  return blocksAllocated;
}

int RefString::FreeBlocks(int capacity) {
  int size = capacity + 1;
  if (capacity < 0 || size >= kPoolLimit || size % 4 != 0) return 0;
  ScopedLock guard;
  int count = 0;
  for (void* block = freeLists[size / 4]; block != nullptr; ++count) {
    std::memcpy(&block, block, sizeof(void*));
  }
  return count;
}

int RefString::LockDepth() {
  ScopedLock guard;
  return lockDepth - 1;  // not counting this call's own entry
}
