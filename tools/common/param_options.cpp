#include "param_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
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

namespace
{
// The finite number at the start of a text and what follows it, trimmed.
bool SplitNumber(const std::string& text, double* pValue, std::string* pRest)
{
  const std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || !std::isfinite(v)) return false;
  *pValue = v;
  if (pRest) *pRest = Trim(end);
  return true;
}
}  // namespace

bool LeadingNumber(const std::string& text, double* pValue)
{
  return SplitNumber(text, pValue, nullptr);
}

bool ParseWholeNumber(const std::string& text, double* pValue)
{
  std::string rest;
  return !text.empty() && !std::isspace((unsigned char)text[0]) && SplitNumber(text, pValue, &rest) && rest.empty();
}

namespace
{
constexpr int kGridSteps = 2000;
constexpr int kBisections = 60;

struct Bracket
{
  double lo, hi;  // still-before at lo, no longer at hi
};

// Narrows [from, to] to the point where before(shown number) turns false, for a display that moves
// one way over the range.
Bracket Bisect(const DisplayAt& displayAt, double from, double to, const std::function<bool(double)>& before)
{
  Bracket b{ from, to };
  for (int i = 0; i < kBisections; ++i)
  {
    const double mid = 0.5 * (b.lo + b.hi);
    double v = 0.0;
    if (LeadingNumber(displayAt(mid), &v) && before(v)) b.lo = mid;
    else b.hi = mid;
  }
  return b;
}

// Over [from, to], whose ends show numbers.
bool FindNumeric(const DisplayAt& displayAt, double wanted, double* pNormalized, double from = 0.0, double to = 1.0)
{
  double v0 = 0.0, v1 = 0.0;
  if (!LeadingNumber(displayAt(from), &v0) || !LeadingNumber(displayAt(to), &v1) || v0 == v1) return false;
  if (wanted < std::fmin(v0, v1) || wanted > std::fmax(v0, v1)) return false;
  // The ends are exact values of their own; prefer them to the middle of a run that reaches them.
  if (v0 == wanted) return *pNormalized = from, true;
  if (v1 == wanted) return *pNormalized = to, true;

  const double sign = v1 > v0 ? 1.0 : -1.0;
  const Bracket first = Bisect(displayAt, from, to, [&](double v) { return sign * v < sign * wanted; });
  const Bracket last = Bisect(displayAt, from, to, [&](double v) { return sign * v <= sign * wanted; });

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

// The middle of the first run of grid values that show the text; -1 for none.
double FindTextRun(const DisplayAt& displayAt, const std::string& wanted)
{
  int runStart = -1, runEnd = -1;
  for (int i = 0; i <= kGridSteps; ++i)
  {
    const bool match = SameText(displayAt((double)i / kGridSteps), wanted);
    if (match && runStart < 0) runStart = i;
    if (match) runEnd = i;
    if (!match && runStart >= 0) break;
  }
  return runStart >= 0 ? 0.5 * (runStart + runEnd) / kGridSteps : -1.0;
}

std::string Number(double v)
{
  char s[32];
  snprintf(s, sizeof(s), "%g", v + 0.0);  // -0 reads 0
  return s;
}

// "a", "a or b", "a, b or c"; long lists end in "...".
std::string TextList(const std::vector<std::string>& texts)
{
  constexpr size_t kMaxListed = 12;
  std::string out;
  const size_t n = std::min(texts.size(), kMaxListed);
  for (size_t i = 0; i < n; ++i)
    out += (i == 0 ? "" : i + 1 == n && n == texts.size() ? " or " : ", ") + texts[i];
  if (n < texts.size()) out += ", ... (" + std::to_string(texts.size()) + " in all)";
  return out;
}
}  // namespace

std::string ParamValues::Describe() const
{
  std::string out;
  if (numeric) out = Number(lo) + " to " + Number(hi) + (unit.empty() ? "" : " " + unit);
  if (!texts.empty())
  {
    if (numeric) return out + ", or " + TextList(texts);
    out = TextList(texts) + " (or their numbers, 0 to " + std::to_string(texts.size() - 1) + ")";
  }
  return out.empty() ? "no value the host can name" : out;
}

bool ChooseParamValue(const ParamValues& values, const std::string& wantedText, ParamChoice* pOut, std::string* pError)
{
  const std::string wanted = Trim(wantedText);
  // A text as shown, or followed by the unit ("-inf dB").
  const size_t n = wanted.size(), u = values.unit.size();
  const std::string withoutUnit = u > 0 && n > u && SameText(wanted.substr(n - u), values.unit) ? wanted.substr(0, n - u) : wanted;
  for (size_t i = 0; i < values.texts.size(); ++i)
    if (SameText(values.texts[i], wanted) || SameText(values.texts[i], withoutUnit)) return *pOut = ParamChoice{ (int)i, 0.0 }, true;
  double v = 0.0;
  std::string rest;
  if (SplitNumber(wanted, &v, &rest))
  {
    // A range kept in single precision (0.1f) ends a hair away from the number typed.
    const double slack = 1e-6 * std::max(1.0, values.hi - values.lo);
    if (values.numeric && (rest.empty() || SameText(rest, values.unit)) && v >= values.lo - slack && v <= values.hi + slack)
      return *pOut = ParamChoice{ -1, std::min(std::max(v, values.lo), values.hi) }, true;
    if (!values.numeric && rest.empty() && v == std::floor(v) && v >= 0.0 && v < (double)values.texts.size())
      return *pOut = ParamChoice{ (int)v, 0.0 }, true;
  }
  if (pError) *pError = "parameter \"" + values.name + "\" takes " + values.Describe() + ", not \"" + wanted + "\"";
  return false;
}

ParamValues ValuesFromDisplay(const std::string& name, const std::string& label, const DisplayAt& displayAt)
{
  ParamValues pv;
  pv.name = name;
  pv.unit = Trim(label);
  int firstNumber = -1, lastNumber = -1;
  for (int i = 0; i <= kGridSteps; ++i)
  {
    const std::string shown = Trim(displayAt((double)i / kGridSteps));
    double v = 0.0;
    std::string rest;
    if (SplitNumber(shown, &v, &rest))
    {
      if (firstNumber < 0) pv.lo = pv.hi = v, firstNumber = i;
      pv.lo = std::min(pv.lo, v);
      pv.hi = std::max(pv.hi, v);
      lastNumber = i;
      if (label.empty() && pv.unit.empty()) pv.unit = rest;  // a unit shown in the display itself
    }
    else if (std::find_if(pv.texts.begin(), pv.texts.end(), [&](const std::string& t) { return SameText(t, shown); }) ==
             pv.texts.end())
    {
      pv.texts.push_back(shown);
    }
  }
  pv.numeric = firstNumber >= 0 && pv.lo < pv.hi;
  if (pv.numeric)
  {
    pv.numericFrom = (double)firstNumber / kGridSteps;
    pv.numericTo = (double)lastNumber / kGridSteps;
  }
  else if (firstNumber >= 0)
  {
    // One number only: a text like the others.
    pv.texts.insert(pv.texts.begin(), Trim(displayAt((double)firstNumber / kGridSteps)));
  }
  return pv;
}

bool NormalizedForChoice(const DisplayAt& displayAt, const ParamValues& values, const ParamChoice& choice,
                         double* pNormalized)
{
  if (choice.text >= 0)
  {
    const double n = FindTextRun(displayAt, values.texts[(size_t)choice.text]);
    return n >= 0.0 && (*pNormalized = n, true);
  }
  return values.numeric && FindNumeric(displayAt, choice.number, pNormalized, values.numericFrom, values.numericTo);
}

bool FindNormalizedForValue(const std::string& name, const std::string& label, const DisplayAt& displayAt,
                            const std::string& wanted, double* pNormalized, std::string* pError)
{
  const ParamValues values = ValuesFromDisplay(name, label, displayAt);
  ParamChoice choice;
  if (!ChooseParamValue(values, wanted, &choice, pError)) return false;
  if (NormalizedForChoice(displayAt, values, choice, pNormalized)) return true;
  if (pError) *pError = "parameter \"" + name + "\" shows no value \"" + Trim(wanted) + "\"";
  return false;
}

bool FindNormalizedForDisplay(const DisplayAt& displayAt, const std::string& wantedText, double* pNormalized,
                              std::string* pShown)
{
  const std::string wanted = Trim(wantedText);
  double n = -1.0;

  double wantedNumber = 0.0;
  if (LeadingNumber(wanted, &wantedNumber) && !FindNumeric(displayAt, wantedNumber, &n)) n = -1.0;

  // Text match over a fine grid.
  if (n < 0.0) n = FindTextRun(displayAt, wanted);

  if (n < 0.0) return false;
  *pNormalized = n;
  if (pShown) *pShown = displayAt(n);
  return true;
}

}  // namespace kvtool
