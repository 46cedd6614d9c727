#pragma once
// Parameter options of the command-line hosts: "name=display value", matched against a plug-in's
// parameter names and the texts it displays, whatever its plug-in interface.

#include <functional>
#include <string>
#include <vector>

namespace kvtool
{

struct ParamAssignment
{
  std::string name;   // as typed, trimmed
  std::string value;  // the display value as typed, trimmed
};

// Splits "Threshold=-20" at its first '='. Fails, with a message, on a missing '=' or an empty name
// or value.
bool ParseParamAssignment(const std::string& option, ParamAssignment* pOut, std::string* pError);

// Case-insensitive comparison of two names or texts, ignoring surrounding blanks.
bool SameText(const std::string& a, const std::string& b);

std::string Trim(const std::string& s);

// The number at the start of a display text ("-20.0", "3.5 ms", "+6dB"); false when there is none.
bool LeadingNumber(const std::string& text, double* pValue);

// The display text of a parameter at a normalised value in [0, 1].
using DisplayAt = std::function<std::string(double normalized)>;

// Finds the normalised value whose display shows `wanted`. A numeric request on a parameter that
// displays numbers is found by bisection (the display is taken to be monotonic), landing in the
// middle of the values that show that number; anything else is matched as text over a fine grid
// (enumerations, switches, named values). On success *pNormalized is the value and *pShown (when
// given) the text the plug-in shows for it.
bool FindNormalizedForDisplay(const DisplayAt& displayAt, const std::string& wanted, double* pNormalized,
                              std::string* pShown = nullptr);

// The values a parameter takes, as a host learns them: numbers from lo to hi in a unit, texts (a
// switch's or an enumeration's), or numbers with named values beside them ("-inf dB").
struct ParamValues
{
  std::string name, unit;
  bool numeric = false;
  double lo = 0.0, hi = 0.0;
  // Seen through a display: the normalised stretch over which numbers show.
  double numericFrom = 0.0, numericTo = 1.0;
  std::vector<std::string> texts;

  // "-60 to 0 dB", "Off or On (or their numbers, 0 to 1)".
  std::string Describe() const;
};

// What a typed value asks for: a number in the unit, or one of the texts.
struct ParamChoice
{
  int text = -1;  // an index into texts, or -1 for a number
  double number = 0.0;
};

// The spellings both hosts take: a number with or without the unit ("-20", "-20 dB", "-20dB", any
// case), a text in any case ("on", "III"), and on a parameter of texts only the text's number
// from 0 ("Oversample=1"). False, with a message naming the values taken, for anything else: a
// number out of range, NaN or infinity, another unit.
bool ChooseParamValue(const ParamValues& values, const std::string& wanted, ParamChoice* pOut, std::string* pError);

// The values of a parameter seen only through its display over the normalised range (a VST 2.4
// parameter): the display is read over a fine grid; label is the parameter's own unit, if any.
ParamValues ValuesFromDisplay(const std::string& name, const std::string& label, const DisplayAt& displayAt);

// The normalised value for a choice on a parameter seen through its display; false when the
// display turns out not to show it.
bool NormalizedForChoice(const DisplayAt& displayAt, const ParamValues& values, const ParamChoice& choice,
                         double* pNormalized);

// The three steps together, for a parameter seen through its display.
bool FindNormalizedForValue(const std::string& name, const std::string& label, const DisplayAt& displayAt,
                            const std::string& wanted, double* pNormalized, std::string* pError);

// A whole text as a finite number ("44100", "1.5"); false for "abc", "12abc", "nan", "inf", "".
bool ParseWholeNumber(const std::string& text, double* pValue);

}  // namespace kvtool
