#pragma once
// Tracing, timing and text helpers. Tracing writes nothing in these builds.

#include <ctime>

#define TRACELOC __FUNCTION__, __LINE__

inline void Trace(const char* /*funcName*/, int /*line*/, const char* /*format*/, ...) {}

inline const char* VSTOpcodeStr(int /*opCode*/) { return ""; }
inline const char* AUSelectStr(int /*select*/) { return ""; }
inline const char* AUPropertyStr(int /*propID*/) { return ""; }
inline const char* AUScopeStr(int /*scope*/) { return ""; }

// The local time as "%Y%m%d %H:%M " and the capitals of the time-zone name, in a static text of
// the calling thread.
const char* CurrentTime();

bool IsWhitespace(char c);

// Writes the lower-cased text, cut to fit destSize with its terminator; returns its length.
int ToLower(char* dest, const char* src, int destSize);

// Answers Every(seconds) true once that much processor time has passed since the last reading.
class Timer
{
public:
  Timer() : mT(clock()) {}
  bool Every(double seconds);

private:
  clock_t mT;
};

// "[Jan15 12:34]" from __DATE__ ("Jan 15 2010") and __TIME__ ("12:34:56").
void CompileTimestamp(const char* date, const char* time, char* str);
const char* AppendTimestamp(const char* date, const char* time, const char* str);

#define APPEND_TIMESTAMP(str) AppendTimestamp(__DATE__, __TIME__, str)
