// SPDX-License-Identifier: MIT
// One panel cycle: trigger → capture → panel → action → result → replace or copy → back or
// dismiss. Every coroutine re-checks the delegate after each await, because the process
// may be tearing it down while an AI call or a paste is still on its way.
#include "app/AppDelegate.h"

#include "ai/AIGateway.h"
#include "core/Callback.h"
#include "core/Log.h"
#include "core/PopoverModel.h"
#include "core/RunRules.h"
#include "settings/Preferences.h"

#include <exception>

namespace {

const QString unexpectedFailureMessage =
    QStringLiteral("Something went wrong running that action. Please try again.");
const QString secureInputMessage = QStringLiteral(
    "Secure input is active (a password field or Terminal's Secure Keyboard Entry) — pasting "
    "is blocked. The result was copied to your clipboard instead.");
const QString pasteYourselfMessage = QStringLiteral("Copied — press Ctrl+V to paste");
const QString targetGoneMessage = QStringLiteral(
    "The original app is no longer running. The result was copied to your clipboard instead.");

constexpr std::chrono::seconds permissionPollInterval{1};
constexpr std::chrono::milliseconds copyConfirmationTime{800};
const QString selfTestText = QStringLiteral("this sentance have two mistake");

} // namespace

void AppDelegate::togglePanel(const QString& source)
{
    // A launch that handed over to a moved copy answers nothing.
    if (!m_launched)
        return;
    ensurePopover();
    Log::hotkey().info(QStringLiteral("%1 fired").arg(source));
    // A capture or a paste in flight owns the clipboard and the keyboard: a second one
    // would save the first one's copy as the user's clipboard and lose theirs.
    if (m_busy) {
        if (!m_busyTriggerLogged)
            Log::app().info(QStringLiteral("trigger ignored — capture or paste in flight"));
        m_busyTriggerLogged = true;
        return;
    }
    m_statusItem->flash();
    // A trigger while an action runs closes the panel and leaves the action alone; its outcome is
    // dropped only once a new capture starts another cycle.
    if (m_popover->isPanelVisible()) {
        m_popover->dismiss(source + QStringLiteral(" toggle"));
        return;
    }
    // Where the desktop must be asked for the pointer, the answer comes while capturing.
    m_popover->locatePointer();
    captureAndShow();
}

QCoro::Task<> AppDelegate::captureAndShow()
{
    if (!m_popover)
        co_return;
    if (!m_components.accessibility->isTrusted()) {
        Log::capture().info(QStringLiteral("not trusted — showing permission onboarding"));
        (void)m_components.accessibility->promptOncePerLaunch();
        m_popover->model().setState(PopoverState::needsPermission());
        m_popover->show(std::nullopt);
        startPermissionPoll();
        co_return;
    }

    const QPointer<AppDelegate> self(this);
    setBusy(true);
    std::optional<CapturedSelection> captured = co_await m_components.selection->capture();
    if (!self)
        co_return;
    setBusy(false);

    m_lastCapture = std::move(captured);
    ++m_generation;

    PopoverModel& model = m_popover->model();
    model.setTargetLanguage(m_preferences.targetLanguage());
    model.setEditableResult(QString());
    model.setLastUsage(std::nullopt);
    model.setCopyConfirmed(false);
    if (!m_lastCapture) {
        model.setEditableOriginal(QString());
        model.setState(PopoverState::noSelection());
        m_popover->show(std::nullopt);
        co_return;
    }
    model.setEditableOriginal(m_lastCapture->text);
    model.setState(PopoverState::ready(m_lastCapture->method));
    m_popover->show(std::nullopt);

    // A diagnostic hook: runs an action right away, as if the user had picked it.
    const std::optional<QString> flag = m_preferences.string(DefaultsKey::autoAction);
    const std::optional<TextAction> action = flag ? TextAction::fromTestFlag(*flag) : std::nullopt;
    if (!action)
        co_return;
    Log::app().info(QStringLiteral("autoAction: %1").arg(action->logName()));
    co_await run(*action);
}

QCoro::Task<> AppDelegate::run(TextAction action)
{
    if (!m_popover || !m_lastCapture)
        co_return;
    // The panel's text, which the user may have edited, not the captured one.
    const QString text = m_popover->model().editableOriginal();
    if (action.kind() == TextAction::Kind::custom && action.instruction().trimmed().isEmpty())
        co_return;
    // The user may have cleared the panel's text; blanks alone are nothing to send.
    if (!RunRules::hasContent(text))
        co_return;
    const int64_t characters = RunRules::characterCount(text);
    if (characters > RunRules::maxCharacters) {
        m_popover->model().setState(
            PopoverState::error(RunRules::tooLargeMessage(characters), ErrorRecovery::none));
        co_return;
    }

    m_lastAction = action;
    const int64_t generation = m_generation;
    // The gateway sends nothing without a service; the panel then asks for one.
    const bool serviceChosen = AIGateway::isConfigured(m_preferences);
    m_popover->model().setState(PopoverState::loading(action));
    RunRules::logStart(action, characters);
    const std::chrono::milliseconds start = m_clock.monotonicNow();
    const Language language = m_popover->model().targetLanguage();

    const QPointer<AppDelegate> self(this);
    std::optional<AIGateway::Result> result;
    QString unexpected;
    try {
        result = co_await m_gateway.perform(action, text, language);
    } catch (const std::exception& error) {
        unexpected = QString::fromUtf8(error.what());
    }
    // A new capture or a step back started another cycle meanwhile: this outcome belongs
    // to nobody now, so it is dropped without a trace and its tokens are not counted.
    if (!self || generation != m_generation)
        co_return;
    PopoverModel& model = m_popover->model();

    if (!result) {
        RunRules::logFailure(action, unexpected);
        model.setState(PopoverState::error(unexpectedFailureMessage, ErrorRecovery::retry));
        co_return;
    }
    if (const ProxyError* error = std::get_if<ProxyError>(&*result)) {
        RunRules::logFailure(action, error->logDetail);
        model.setState(serviceChosen ? PopoverState::error(error->message, error->recovery)
                                     : PopoverState::needsService());
        co_return;
    }

    const Completion& completion = std::get<AIGateway::Outcome>(*result).completion;
    const std::chrono::milliseconds elapsed = m_clock.monotonicNow() - start;
    RunRules::logSuccess(action, elapsed.count(), completion);
    m_preferences.addUsage(m_clock, completion.promptTokens, completion.completionTokens);
    model.setLastUsage(RunRules::usageLabel(completion.promptTokens, completion.completionTokens));
    model.setEditableResult(preservingEdgeWhitespace(text, completion.text));
    model.setState(PopoverState::result(action));

    if (!m_preferences.flag(DefaultsKey::autoReplace))
        co_return;
    Log::app().info(QStringLiteral("autoReplace"));
    co_await replaceResult();
}

QCoro::Task<> AppDelegate::copyResult()
{
    if (!m_popover)
        co_return;
    PopoverModel& model = m_popover->model();
    QString text;
    if (model.state().is(PopoverState::Kind::result))
        text = model.editableResult();
    else if (model.state().is(PopoverState::Kind::error))
        text = model.editableResult().isEmpty() ? model.editableOriginal() : model.editableResult();
    else
        co_return;
    m_components.pasteBack->copy(text);
    Log::app().info(QStringLiteral("result copied (%1 chars)")
                        .arg(QString::number(RunRules::characterCount(text))));
    // Copy says "Copied" for a moment, then the panel closes; unless the user has moved on
    // meanwhile (another state, another cycle, the panel closed).
    model.setCopyConfirmed(true);
    const int64_t generation = m_generation;
    const QPointer<AppDelegate> self(this);
    co_await m_clock.sleep(copyConfirmationTime);
    if (!self || !m_popover || generation != m_generation || !m_popover->isPanelVisible() ||
        !m_popover->model().copyConfirmed())
        co_return;
    m_popover->dismiss(QStringLiteral("copied"));
}

QCoro::Task<> AppDelegate::replaceResult()
{
    if (!m_popover || !m_popover->model().state().is(PopoverState::Kind::result))
        co_return;
    const QString text = m_popover->model().editableResult();
    if (m_components.secureInput->isActive()) {
        Log::replace().error(QStringLiteral("secure input enabled — cannot post synthetic ⌘V"));
        writeToClipboardInstead(text, secureInputMessage);
        co_return;
    }
    std::optional<TargetApplication> target =
        m_lastCapture ? m_lastCapture->targetApp : std::nullopt;
    if (target && m_components.runningApplications->isTerminated(*target)) {
        writeToClipboardInstead(text, targetGoneMessage);
        co_return;
    }
    if (!m_components.pasteBack->canInsert(target)) {
        Log::replace().info(
            QStringLiteral("no way to type keys here — result left on the clipboard"));
        writeToClipboardInstead(text, pasteYourselfMessage);
        co_return;
    }
    m_popover->dismiss(QStringLiteral("replace"));
    const QPointer<AppDelegate> self(this);
    setBusy(true);
    co_await m_components.pasteBack->paste(text, std::move(target));
    if (self)
        setBusy(false);
}

void AppDelegate::setBusy(bool busy)
{
    m_busy = busy;
    m_busyTriggerLogged = false;
}

void AppDelegate::writeToClipboardInstead(const QString& text, const QString& message)
{
    // The panel stays open with the message, so the user sees why nothing was pasted.
    m_components.pasteBack->copy(text);
    m_popover->model().setState(PopoverState::error(message, ErrorRecovery::none));
}

void AppDelegate::backToReady(const QString& reason)
{
    if (!m_popover)
        return;
    ++m_generation;
    if (!m_lastCapture) {
        m_popover->dismiss(reason);
        return;
    }
    // The texts stay as they are, including the user's edits of the original.
    m_popover->model().setState(PopoverState::ready(m_lastCapture->method));
    Log::app().info(QStringLiteral("back to ready (%1)").arg(reason));
}

void AppDelegate::escapePressed()
{
    if (!m_popover)
        return;
    switch (m_popover->model().state().kind()) {
    case PopoverState::Kind::loading:
    case PopoverState::Kind::result:
    case PopoverState::Kind::error:
    case PopoverState::Kind::needsService:
        backToReady(QStringLiteral("esc"));
        return;
    case PopoverState::Kind::ready:
    case PopoverState::Kind::needsPermission:
    case PopoverState::Kind::noSelection:
        m_popover->dismiss(QStringLiteral("esc"));
        return;
    }
}

void AppDelegate::actionKeyPressed(int number)
{
    if (!m_popover || !m_popover->isPanelVisible())
        return;
    // Alt+N presses the Nth button, in the order the panel shows them.
    PopoverModel& model = m_popover->model();
    QList<const std::function<void()>*> buttons;
    switch (model.state().kind()) {
    case PopoverState::Kind::ready: {
        const QList<PopoverAction> visible = m_preferences.activeActions();
        if (number >= 1 && number <= visible.size())
            invokeIfSet(model.onAction, textAction(visible.at(number - 1)));
        return;
    }
    case PopoverState::Kind::result:
        buttons = {&model.onReplace, &model.onCopy, &model.onBack};
        break;
    case PopoverState::Kind::error:
        buttons = model.errorButtons();
        break;
    case PopoverState::Kind::needsService:
        buttons = {&model.onOpenSettings};
        break;
    case PopoverState::Kind::loading:
    case PopoverState::Kind::needsPermission:
    case PopoverState::Kind::noSelection:
        return;
    }
    if (number >= 1 && number <= buttons.size())
        invokeIfSet(*buttons.at(number - 1));
}

void AppDelegate::startPermissionPoll()
{
    cancelPermissionPoll();
    m_permissionPoll = std::make_shared<CancellationFlag>();
    pollPermission(m_permissionPoll);
}

void AppDelegate::cancelPermissionPoll()
{
    if (!m_permissionPoll)
        return;
    m_permissionPoll->cancelled = true;
    m_permissionPoll.reset();
}

QCoro::Task<> AppDelegate::pollPermission(std::shared_ptr<CancellationFlag> cancellation)
{
    const QPointer<AppDelegate> self(this);
    while (!cancellation->cancelled) {
        co_await m_clock.sleep(permissionPollInterval);
        // The sleep cannot be cut short. Where it could, a cancelled poll would wake at the
        // moment of cancellation, find the panel gone or the grant still missing, and end;
        // ending here once the sleep is over has the same effect.
        if (cancellation->cancelled || !self || !m_popover || !m_popover->isPanelVisible())
            break;
        if (m_components.accessibility->isTrusted()) {
            Log::capture().info(QStringLiteral("accessibility granted"));
            m_popover->model().setState(PopoverState::noSelection());
            break;
        }
    }
    if (self && m_permissionPoll == cancellation)
        m_permissionPoll.reset();
}

void AppDelegate::runProxySelfTestIfRequested()
{
    const std::optional<QString> flag = m_preferences.string(DefaultsKey::proxySelfTest);
    if (!flag)
        return;
    if (const std::optional<TextAction> action = TextAction::fromTestFlag(*flag))
        runProxySelfTest(*action);
}

QCoro::Task<> AppDelegate::runProxySelfTest(TextAction action)
{
    const bool usesHostedService = !AIGateway::isUsingOwnKey(m_preferences);
    Log::ai().info(QStringLiteral("selftest %1 start (proxy=%2)")
                       .arg(action.logName(),
                            usesHostedService ? QStringLiteral("true") : QStringLiteral("false")));
    const Language language = m_preferences.targetLanguage();
    try {
        const AIGateway::Result result = co_await m_gateway.perform(action, selfTestText, language);
        if (const ProxyError* error = std::get_if<ProxyError>(&result)) {
            Log::ai().error(QStringLiteral("selftest failed — %1 · shows: %2 · recovery: %3")
                                .arg(error->logDetail, error->message, caseName(error->recovery)));
            co_return;
        }
        const AIGateway::Outcome& outcome = std::get<AIGateway::Outcome>(result);
        const int64_t quotaLeft = outcome.quota ? outcome.quota->remainingTokens : -1;
        Log::ai().info(QStringLiteral("selftest ok — in %1 out %2 tok, quota %3 left · result: %4")
                           .arg(QString::number(outcome.completion.promptTokens),
                                QString::number(outcome.completion.completionTokens),
                                QString::number(quotaLeft), outcome.completion.text));
    } catch (const std::exception& error) {
        Log::ai().error(
            QStringLiteral("selftest failed — %1").arg(QString::fromUtf8(error.what())));
    }
}

QString AppDelegate::preservingEdgeWhitespace(const QString& original, const QString& result)
{
    return RunRules::preservingEdgeWhitespace(original, result);
}
