// NTSTATUS values of the native file calls that setup and the uninstaller
// tell apart, as the unsigned 32-bit numbers the documentation gives. No
// Windows header: the uninstaller's rules that read them are tested
// natively.
#pragma once

#include <cstdint>

inline constexpr uint32_t StatusAccessDenied = 0xC0000022;      // STATUS_ACCESS_DENIED
inline constexpr uint32_t StatusNameNotFound = 0xC0000034;      // STATUS_OBJECT_NAME_NOT_FOUND
inline constexpr uint32_t StatusNameCollision = 0xC0000035;     // STATUS_OBJECT_NAME_COLLISION
inline constexpr uint32_t StatusPathNotFound = 0xC000003A;      // STATUS_OBJECT_PATH_NOT_FOUND
inline constexpr uint32_t StatusSharingViolation = 0xC0000043;  // STATUS_SHARING_VIOLATION
inline constexpr uint32_t StatusDeletePending = 0xC0000056;     // STATUS_DELETE_PENDING

// A status as one of those numbers: the system's LONG is 32 bits, a long of
// the native build may be 64.
constexpr uint32_t StatusCode(long status)
{
  return static_cast<uint32_t>(status);
}

// Whether an open failed because nothing stands at the name or at a folder
// on its way.
constexpr bool IsMissingStatus(long status)
{
  return StatusCode(status) == StatusNameNotFound || StatusCode(status) == StatusPathNotFound;
}
