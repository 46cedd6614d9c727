#include "IFxDebug.h"

#include <cctype>
#include <cstring>

#include "kitstring.h"

const char* CurrentTime()
{
  // One text per thread: instances constructed on several threads at once never share it.
  thread_local char s_timeStr[80];
  const time_t t = time(nullptr);
  struct tm lt;
  localtime_r(&t, &lt);
  char zone[64];
  strftime(s_timeStr, 32, "%Y%m%d %H:%M ", &lt);
  strftime(zone, sizeof(zone), "%Z", &lt);
  size_t n = strlen(s_timeStr);
  for (const char* z = zone; *z && n + 1 < sizeof(s_timeStr); ++z)
    if (isupper((unsigned char)*z)) s_timeStr[n++] = *z;
  s_timeStr[n] = 0;
  return s_timeStr;
}

bool IsWhitespace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int ToLower(char* dest, const char* src, int destSize)
{
  if (!dest || destSize <= 0) return 0;
  int n = 0;
  for (; src && src[n] && n < destSize - 1; ++n) dest[n] = (char)tolower((unsigned char)src[n]);
  dest[n] = 0;
  return n;
}

bool Timer::Every(double seconds)
{
  // clock() counts CLOCKS_PER_SEC ticks a second (100 on the original platform, 10^6 here).
  const clock_t now = clock();
  if ((double)(now - mT) > seconds * (double)CLOCKS_PER_SEC)
  {
    mT = now;
    return true;
  }
  return false;
}

void CompileTimestamp(const char* date, const char* time, char* str)
{
  // "Jan 15 2010", "12:34:56" -> "Jan 15 12:34" (the year and the seconds go) -> "Jan15 12:34".
  char buf[64];
  KIT_strlcpy(buf, date, 7);
  strncat(buf, " ", sizeof(buf) - strlen(buf) - 1);
  strncat(buf, time ? time : "", sizeof(buf) - strlen(buf) - 1);
  buf[12] = 0;
  const size_t len = strlen(buf);
  if (len > 3) memmove(buf + 3, buf + 4, len - 3);
  str[0] = '[';
  strcpy(str + 1, buf);
  strcat(str, "]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* str)
{
  static KIT_String s_str;
  static bool s_set = false;
  if (!s_set)
  {
    s_str.Set(str);
    s_set = true;
  }
  char stamp[32];
  CompileTimestamp(date, time, stamp);
  s_str.Append(" ");
  s_str.Append(stamp);
  return s_str.Get();
}
