#include "uninstall/uninstall_options.h"

#include <cstring>

#include "common/path_text.h"

namespace {

const char FromWord[] = "/FROM=";

bool IsBlank(char c)
{
  return c == ' ' || c == '\t';
}

// Reads decimal digits at *p, up to stop or the end of the word at end;
// false when there are none or the value passes limit.
bool ReadNumber(const char **p, const char *end, uint64_t limit, uint64_t *value)
{
  const char *start = *p;
  *value = 0;
  for (; *p < end && **p >= '0' && **p <= '9'; ++*p) {
    uint64_t digit = static_cast<uint64_t>(**p - '0');
    if (*value > (limit - digit) / 10)
      return false;
    *value = *value * 10 + digit;
  }
  return *p > start;
}

// A word "/FROM=PID:PIPE", both numbers decimal, nothing after them.
bool ReadFromWord(const char *word, size_t length, UninstallOptions *options)
{
  const size_t prefix = sizeof(FromWord) - 1;
  if (length <= prefix || std::strncmp(word, FromWord, prefix) != 0)
    return false;
  const char *end = word + length;
  const char *p = word + prefix;
  uint64_t process = 0;
  uint64_t pipe = 0;
  if (!ReadNumber(&p, end, 0xFFFFFFFFu, &process) || p == end || *p++ != ':' ||
      !ReadNumber(&p, end, UINT64_MAX, &pipe) || p != end)
    return false;
  options->isCopy = true;
  options->firstProcess = static_cast<unsigned long>(process);
  options->resultPipe = pipe;
  return true;
}

// Appends value in decimal.
void AppendNumber(char *out, size_t size, size_t *length, uint64_t value)
{
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char text[24];
  for (int i = 0; i < count; ++i)
    text[i] = digits[count - 1 - i];
  text[count] = '\0';
  AppendCut(out, size, length, text);
}

}  // namespace

void ReadUninstallOptions(const char *arguments, UninstallOptions *options)
{
  *options = UninstallOptions{};
  const char *p = arguments != nullptr ? arguments : "";
  while (*p != '\0') {
    while (IsBlank(*p))
      ++p;
    const char *word = p;
    while (*p != '\0' && !IsBlank(*p))
      ++p;
    size_t length = static_cast<size_t>(p - word);
    if (length == 2 && word[0] == '/' && (word[1] == 'S' || word[1] == 's'))
      options->silent = true;
    else if (length > 0)
      ReadFromWord(word, length, options);
  }
}

bool FormatCopyCommandLine(char *out, size_t size, const char *program, const char *arguments,
                           unsigned long firstProcess, uint64_t resultPipe)
{
  size_t length = 0;
  AppendCut(out, size, &length, "\"");
  AppendCut(out, size, &length, program);
  AppendCut(out, size, &length, "\"");
  if (arguments != nullptr && arguments[0] != '\0') {
    AppendCut(out, size, &length, " ");
    AppendCut(out, size, &length, arguments);
  }
  AppendCut(out, size, &length, " ");
  AppendCut(out, size, &length, FromWord);
  AppendNumber(out, size, &length, firstProcess);
  AppendCut(out, size, &length, ":");
  AppendNumber(out, size, &length, resultPipe);
  return length < size;
}
