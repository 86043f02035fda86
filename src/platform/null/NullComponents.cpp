// SPDX-License-Identifier: MIT
#include "platform/null/NullComponents.h"

#include "platform/null/NullAccessibilityPermission.h"
#include "platform/null/NullApplicationMover.h"
#include "platform/null/NullClipboard.h"
#include "platform/null/NullDoubleTapTrigger.h"
#include "platform/null/NullHotkeyRegistrar.h"
#include "platform/null/NullHotkeySelfTest.h"
#include "platform/null/NullPasteBack.h"
#include "platform/null/NullPopoverPresenter.h"
#include "platform/null/NullRunningApplications.h"
#include "platform/null/NullSecureInput.h"
#include "platform/null/NullSelectionReader.h"
#include "platform/null/NullSettingsWindow.h"
#include "platform/null/NullStatusItem.h"
#include "platform/null/NullUpdater.h"
#include "platform/null/NullWelcomeGuide.h"

namespace {

template <class Port, class Null> void factoryOr(std::function<std::unique_ptr<Port>()>& factory)
{
    if (!factory)
        factory = [] { return std::make_unique<Null>(); };
}

template <class Port, class Null> void serviceOr(std::unique_ptr<Port>& service)
{
    if (!service)
        service = std::make_unique<Null>();
}

} // namespace

namespace NullComponents {

void fillMissing(AppComponents& components)
{
    factoryOr<DoubleTapTrigger, NullDoubleTapTrigger>(components.makeDoubleTap);
    factoryOr<StatusItem, NullStatusItem>(components.makeStatusItem);
    factoryOr<Updater, NullUpdater>(components.makeUpdater);
    factoryOr<WelcomeGuide, NullWelcomeGuide>(components.makeWelcomeGuide);
    factoryOr<PopoverPresenter, NullPopoverPresenter>(components.makePopover);
    factoryOr<HotkeyRegistrar, NullHotkeyRegistrar>(components.makeHotkeyRegistrar);
    if (!components.makeSettingsWindow)
        components.makeSettingsWindow = [](DoubleTapTrigger&) {
            return std::make_unique<NullSettingsWindow>();
        };

    serviceOr<ApplicationMover, NullApplicationMover>(components.applicationMover);
    serviceOr<AccessibilityPermission, NullAccessibilityPermission>(components.accessibility);
    serviceOr<SelectionReader, NullSelectionReader>(components.selection);
    serviceOr<PasteBack, NullPasteBack>(components.pasteBack);
    serviceOr<Clipboard, NullClipboard>(components.clipboard);
    serviceOr<SecureInput, NullSecureInput>(components.secureInput);
    serviceOr<RunningApplications, NullRunningApplications>(components.runningApplications);
    serviceOr<HotkeySelfTest, NullHotkeySelfTest>(components.hotkeySelfTest);
    if (!components.migrateLegacyKey)
        components.migrateLegacyKey = [] {};
}

} // namespace NullComponents
