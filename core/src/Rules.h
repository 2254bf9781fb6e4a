#pragma once

#include "morvex/CodeModel.h"
#include "morvex/Conversion.h"
#include "morvex/Findings.h"
#include "morvex/JSONTool.h"
#include "morvex/Names.h"
#include "morvex/SampleTypes.h"

#include <string>
#include <vector>

namespace morvex::detail {

/// Adds a finding at `place`; past the kept limit it is only counted, and its path never built.
void addFinding(Findings& findings, const SampleTypes& types, FindingKind kind, const Place& place,
                std::vector<std::string> arguments, std::string file = {});

/// The name of a value kind as findings quote it ("integer", "string").
const char* kindWord(ValueKind kind);

/// Shapes whose objects the default rules type one by one: the elements of a top-level array and the objects
/// reached from them through members only (each element is a member of the root there).
std::vector<bool> typedOneByOne(const SampleTypes& types);

/// Shapes no field reaches: the earlier values of a key repeated in a first object (see `SampleTypes`), and all
/// inside them.
std::vector<bool> replacedShapes(const SampleTypes& types);

/// Each key repeated within one object, outside the replaced shapes: said once per member.
void repeatedKeyFindings(const SampleTypes& types, const std::vector<bool>& replaced, Findings& findings);

/// What the default rules lose of the sample: read off its shapes but the replaced ones, in order of first
/// appearance.
void defaultFindings(const SampleTypes& types, const std::vector<bool>& replaced, Language language,
                     Findings& findings);

/// What the output as a whole cannot do: too many types, or a configuration that cannot compile (a base, or a
/// prefix or root name that makes no identifier). The root model comes first.
void outputFindings(const std::vector<CodeModel>& models, const JSONTool& tool, const SampleTypes& types,
                    const ConversionChoices& choices, Findings& findings);

/// The same, for `typeCount` types of which some (`storedProperty`) declare a Swift stored property.
void outputFindings(std::size_t typeCount, bool storedProperty, const JSONTool& tool, std::string_view rootType,
                    const SampleTypes& types, const ConversionChoices& choices, Findings& findings);

/// True when the Swift text of `model` declares a stored property.
bool declaresStoredProperty(const CodeModel& model);

/// The types of the faithful rules, root first: every object shape reachable from the root's objects (for a
/// top-level array, its elements' merged type), rendered by the emitters' framing. Empty when the root holds no
/// object, which the default rules then type.
std::vector<CodeModel> faithfulModels(const SampleTypes& types, JSONTool& tool, const ConversionChoices& choices,
                                      const std::string& rootName);

} // namespace morvex::detail
