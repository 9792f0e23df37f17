#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace gm::test {

namespace {

// The enumerator's name, for failure messages.
template <typename Enum, std::size_t N>
const char* nameIn(Enum value, const char* const (&names)[N])
{
    const auto i = static_cast<std::size_t>(value);
    return i < N ? names[i] : "?";
}
const char* name(ui::Buttons b)
{
    return nameIn(b, {"Ok", "OkCancel", "YesNo", "YesNoCancel"});
}
const char* name(ui::Icon i)
{
    return nameIn(i, {"None", "Critical", "Question", "Exclamation", "Information"});
}

}  // namespace

ScriptedDialogs::~ScriptedDialogs()
{
    verifyAllShown();
}

void ScriptedDialogs::verifyAllShown()
{
    for (const Step& step : script_) {
        ADD_FAILURE() << "expected dialog was never shown: \"" << step.expected.text.toStdString() << "\"";
    }
    script_.clear();
}

ScriptedDialogs& ScriptedDialogs::expect(const QString& text, ui::Buttons buttons, ui::Icon icon,
                                         ui::Answer answer, const QString& title,
                                         std::function<void()> during)
{
    Step step;
    step.expected = {text, buttons, icon, title, false, {}};
    step.answer = answer;
    step.during = std::move(during);
    script_.push_back(std::move(step));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectWithDetails(const QString& text, const QString& detailsPart,
                                                    ui::Buttons buttons, ui::Icon icon, ui::Answer answer)
{
    expect(text, buttons, icon, answer);
    script_.back().detailsPart = detailsPart;
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectAnyText(ui::Buttons buttons, ui::Icon icon, ui::Answer answer)
{
    expect(QString(), buttons, icon, answer);
    script_.back().anyText = true;
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& prompt, std::optional<QString> answer,
                                              const QString& title, std::optional<QString> preset,
                                              std::function<void()> during)
{
    Step step;
    step.expected = {prompt, ui::Buttons::OkCancel, ui::Icon::None, title, true, {}};
    step.inputAnswer = std::move(answer);
    step.preset = std::move(preset);
    step.during = std::move(during);
    script_.push_back(std::move(step));
    return *this;
}

ui::Answer ScriptedDialogs::message(QWidget* /*parent*/, const QString& text, ui::Buttons buttons,
                                    ui::Icon icon, const QString& title, const QString& details)
{
    const QString shownTitle = title.isEmpty() ? ui::kProgramTitle : title;
    shown_.push_back({text, buttons, icon, shownTitle, false, details});
    if (script_.empty() || script_.front().expected.isInput) {
        ADD_FAILURE() << "unexpected message box: \"" << text.toStdString() << "\"";
        return buttons == ui::Buttons::Ok ? ui::Answer::Ok : ui::Answer::Cancel;
    }
    Step step = std::move(script_.front());
    script_.pop_front();
    if (!step.anyText) {
        EXPECT_EQ(text.toStdString(), step.expected.text.toStdString());
    }
    EXPECT_STREQ(name(buttons), name(step.expected.buttons)) << "buttons of \"" << text.toStdString() << "\"";
    EXPECT_STREQ(name(icon), name(step.expected.icon)) << "icon of \"" << text.toStdString() << "\"";
    EXPECT_EQ(shownTitle.toStdString(), step.expected.title.toStdString());
    if (step.detailsPart && details.isEmpty()) {
        ADD_FAILURE() << "no details to \"" << text.toStdString() << "\"";
    } else if (step.detailsPart) {
        EXPECT_TRUE(details.contains(*step.detailsPart))
            << "details of \"" << text.toStdString() << "\": " << details.toStdString();
    } else {
        EXPECT_TRUE(details.isEmpty()) << "unexpected details of \"" << text.toStdString() << "\": "
                                       << details.toStdString();
    }
    if (step.during) {
        step.during();
    }
    return step.answer;
}

std::optional<QString> ScriptedDialogs::input(QWidget* /*parent*/, const QString& prompt,
                                              const QString& title, const QString& preset)
{
    const QString shownTitle = title.isEmpty() ? ui::kProgramTitle : title;
    shown_.push_back({prompt, ui::Buttons::OkCancel, ui::Icon::None, shownTitle, true, {}});
    if (script_.empty() || !script_.front().expected.isInput) {
        ADD_FAILURE() << "unexpected input box: \"" << prompt.toStdString() << "\"";
        return std::nullopt;
    }
    Step step = std::move(script_.front());
    script_.pop_front();
    EXPECT_EQ(prompt.toStdString(), step.expected.text.toStdString());
    EXPECT_EQ(shownTitle.toStdString(), step.expected.title.toStdString());
    if (step.preset) {
        EXPECT_EQ(preset.toStdString(), step.preset->toStdString());
    }
    if (step.during) {
        step.during();
    }
    return step.inputAnswer;
}

}  // namespace gm::test
