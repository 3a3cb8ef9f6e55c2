#pragma once
// Message boxes, shown by the separate xmessage program; the caller waits
// until the box is answered.
#include <cstdint>
#include <string_view>

// Box types and answers, as the classic message-box call numbers them.
inline constexpr int32_t MB_OK = 0;
inline constexpr int32_t MB_YESNO = 4;
inline constexpr int32_t MB_SYSTEMMODAL = 0x1000;
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

// Type 4 (Yes/No) answers 6 or 7, type 0 (OK) answers 1, any other type
// shows nothing and answers 2. The owner is ignored. Calls from different
// threads are served one at a time.
int32_t MessageBox(int32_t owner, std::string_view text, std::string_view caption, int32_t type);
int32_t MessageBox2(int32_t owner, std::string_view text, std::string_view caption, int32_t type);

// An "Alert" box with an OK button for internal diagnostics; the program
// carries on once it is closed. Any thread may call it.
void alert(std::string_view text);
void alert(int64_t number);

// Console windows do not exist on this platform.
inline void AllocConsole() {}
inline void FreeConsole() {}
