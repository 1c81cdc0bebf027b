#pragma once
// Helpers of the simulation tests: components built in code, recording effect ports.
#include "core/Error.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace v7300::simtest {

inline TLogicComponent makeComponent(const std::string& name, std::vector<std::string> lines,
                                     std::vector<std::pair<std::string, std::string>> vars = {},
                                     const std::string& keyword = "STR") {
    TLogicComponent c;
    c.Name = name;
    c.TypeName = name.substr(0, name.find_first_of("0123456789"));
    c.ScriptLines = std::move(lines);
    for (const auto& [n, v] : vars) c.Variables.Add(TLogicComponentDefine::Create(n, v, keyword));
    return c;
}

// The statements wrapped into a script as the generator frames it.
inline std::vector<std::string> framed(std::vector<std::string> statements) {
    std::vector<std::string> s = {"//START DES SCRIPTS", "DO"};
    for (auto& l : statements) s.push_back(std::move(l));
    s.emplace_back("LOOP");
    return s;
}

class RecordingEffects : public LcdPort, public ExecPort, public PlayPort, public SmtpPort, public SimulationUiPort {
public:
    void SetLines(const std::string& l1, const std::string& l2) override {
        std::lock_guard lk(m);
        lines.emplace_back(l1, l2);
    }
    void Show() override {
        std::lock_guard lk(m);
        ++shown;
    }
    void Open(const ExecRequest& r) override { execs.push_back(r); }
    void Play(const std::string& f) override { plays.push_back(f); }
    void Send(const SmtpMessage& msg) override {
        mails.push_back(msg);
        if (refuse) throw Error("refused");
    }
    void ShowSliderWindow(const std::string& c) override { sliders.push_back(c); }
    TEffectPorts ports() {
        TEffectPorts p;
        p.Lcd = this;
        p.Exec = this;
        p.Play = this;
        p.Smtp = this;
        p.Ui = this;
        p.SmtpSender = "sim@test";
        return p;
    }

    std::mutex m;
    std::vector<std::pair<std::string, std::string>> lines;
    int shown = 0;
    std::vector<ExecRequest> execs;
    std::vector<std::string> plays;
    std::vector<SmtpMessage> mails;
    std::vector<std::string> sliders;
    bool refuse = false;
};

} // namespace v7300::simtest
