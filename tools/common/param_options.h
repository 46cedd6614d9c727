#pragma once
// Parameter options of the command-line hosts: "name=display value", matched against a plug-in's
// parameter names and the texts it displays, whatever its plug-in interface.

#include <functional>
#include <string>

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

}  // namespace kvtool
