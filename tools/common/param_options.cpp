#include "param_options.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace kvtool
{

std::string Trim(const std::string& s)
{
  size_t b = 0, e = s.size();
  while (b < e && std::isspace((unsigned char)s[b])) ++b;
  while (e > b && std::isspace((unsigned char)s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameText(const std::string& a, const std::string& b)
{
  const std::string x = Trim(a), y = Trim(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::tolower((unsigned char)x[i]) != std::tolower((unsigned char)y[i])) return false;
  return true;
}

bool ParseParamAssignment(const std::string& option, ParamAssignment* pOut, std::string* pError)
{
  const size_t eq = option.find('=');
  if (eq == std::string::npos)
  {
    if (pError) *pError = "\"" + option + "\" is not of the form name=value";
    return false;
  }
  ParamAssignment a{ Trim(option.substr(0, eq)), Trim(option.substr(eq + 1)) };
  if (a.name.empty() || a.value.empty())
  {
    if (pError) *pError = "\"" + option + "\" needs both a parameter name and a value";
    return false;
  }
  *pOut = a;
  return true;
}

bool LeadingNumber(const std::string& text, double* pValue)
{
  const std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || !std::isfinite(v)) return false;
  *pValue = v;
  return true;
}

namespace
{
constexpr int kGridSteps = 2000;
constexpr int kBisections = 60;

struct Bracket
{
  double lo, hi;  // still-before at lo, no longer at hi
};

// Narrows [0, 1] to the point where before(shown number) turns false, for a display that moves one
// way over the range.
Bracket Bisect(const DisplayAt& displayAt, const std::function<bool(double)>& before)
{
  Bracket b{ 0.0, 1.0 };
  for (int i = 0; i < kBisections; ++i)
  {
    const double mid = 0.5 * (b.lo + b.hi);
    double v = 0.0;
    if (LeadingNumber(displayAt(mid), &v) && before(v)) b.lo = mid;
    else b.hi = mid;
  }
  return b;
}

bool FindNumeric(const DisplayAt& displayAt, double wanted, double* pNormalized)
{
  double v0 = 0.0, v1 = 0.0;
  if (!LeadingNumber(displayAt(0.0), &v0) || !LeadingNumber(displayAt(1.0), &v1) || v0 == v1) return false;
  if (wanted < std::fmin(v0, v1) || wanted > std::fmax(v0, v1)) return false;
  // The ends are exact values of their own; prefer them to the middle of a run that reaches them.
  if (v0 == wanted) return *pNormalized = 0.0, true;
  if (v1 == wanted) return *pNormalized = 1.0, true;

  const double sign = v1 > v0 ? 1.0 : -1.0;
  const Bracket first = Bisect(displayAt, [&](double v) { return sign * v < sign * wanted; });
  const Bracket last = Bisect(displayAt, [&](double v) { return sign * v <= sign * wanted; });

  double atFirst = 0.0, beforeFirst = 0.0;
  if (!LeadingNumber(displayAt(first.hi), &atFirst)) return false;
  if (atFirst == wanted)
  {
    // The middle of the values that show the wanted number.
    *pNormalized = 0.5 * (first.hi + last.hi);
    return true;
  }
  // No value shows it exactly: the nearer of the two neighbours.
  if (LeadingNumber(displayAt(first.lo), &beforeFirst) && std::fabs(beforeFirst - wanted) < std::fabs(atFirst - wanted))
    *pNormalized = first.lo;
  else
    *pNormalized = first.hi;
  return true;
}
}  // namespace

bool FindNormalizedForDisplay(const DisplayAt& displayAt, const std::string& wantedText, double* pNormalized,
                              std::string* pShown)
{
  const std::string wanted = Trim(wantedText);
  double n = -1.0;

  double wantedNumber = 0.0;
  if (LeadingNumber(wanted, &wantedNumber) && !FindNumeric(displayAt, wantedNumber, &n)) n = -1.0;

  if (n < 0.0)
  {
    // Text match over a fine grid: the middle of the first run of grid values that show it.
    int runStart = -1, runEnd = -1;
    for (int i = 0; i <= kGridSteps; ++i)
    {
      const bool match = SameText(displayAt((double)i / kGridSteps), wanted);
      if (match && runStart < 0) runStart = i;
      if (match) runEnd = i;
      if (!match && runStart >= 0) break;
    }
    if (runStart >= 0) n = 0.5 * (runStart + runEnd) / kGridSteps;
  }

  if (n < 0.0) return false;
  *pNormalized = n;
  if (pShown) *pShown = displayAt(n);
  return true;
}

}  // namespace kvtool
