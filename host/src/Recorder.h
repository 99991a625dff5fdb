// What a session records: the trace of every effect on the host, the contract violations, and a
// low-level journal (handler construction and destruction, releases) for ordering checks.
#pragma once

#include <simhost/Trace.h>

#include <string>
#include <vector>

namespace simhost {

class Recorder {
public:
    // A new trace entry of that kind ("op", "call", "action") and value, to add fields to.
    TraceEntry& trace(std::string kind, std::string value)
    {
        trace_.emplace_back().add(std::move(kind), std::move(value));
        return trace_.back();
    }
    // Recorded, and traced as {"op":"violation","rule":…,"detail":…}.
    void violation(const std::string& rule, const std::string& detail)
    {
        violations_.push_back(rule + ": " + detail);
        trace("op", "violation").add("rule", rule).add("detail", detail);
    }
    // A call through a slot the simulated host does not model, "CLASS.FUNCTION": recorded, and
    // traced as {"op":"violation","kind":"notModelled","call":…}.
    void notModelled(const std::string& call)
    {
        violations_.push_back("notModelled: " + call);
        trace("op", "violation").add("kind", "notModelled").add("call", call);
    }
    void journal(std::string line) { journal_.push_back(std::move(line)); }
    // Forgets the trace and the journal (the violations stay).
    void clear()
    {
        trace_.clear();
        journal_.clear();
    }

    [[nodiscard]] const std::vector<TraceEntry>& entries() const { return trace_; }
    [[nodiscard]] const std::vector<std::string>& journalLines() const { return journal_; }
    [[nodiscard]] const std::vector<std::string>& violations() const { return violations_; }

private:
    std::vector<TraceEntry> trace_;
    std::vector<std::string> journal_;
    std::vector<std::string> violations_;
};

} // namespace simhost
