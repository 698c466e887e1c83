#pragma once

#include <string>

namespace vela {

// The caption of every box whose caption is not fixed by its caller.
inline constexpr const char* kToolName = "VELA-4K/8K Control Tool";
// The tool's version as its windows show it.
inline constexpr const char* kToolVersion = "0.20";

enum class PromptIcon { None, Information, Stop, Exclamation, Question };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

// Every message box of the tool goes through the one process-wide Prompt. The tool
// installs the QMessageBox implementation at start; tests install a RecordingPrompt.
class Prompt {
  public:
    virtual ~Prompt() = default;
    virtual PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                              PromptButtons buttons) = 0;

    // The installed prompt; a stderr printer that answers No when none is installed.
    static Prompt& Instance();
    // Installs `prompt` (not owned); nullptr restores the stderr printer.
    static void Install(Prompt* prompt);
};

// An OK box with the tool's name as caption unless one is given.
void ShowMessage(const std::string& text, PromptIcon icon = PromptIcon::Exclamation,
                 const std::string& caption = kToolName);
// A Yes/No question box; true for Yes.
bool AskYesNo(const std::string& text, const std::string& caption = kToolName);

}  // namespace vela
