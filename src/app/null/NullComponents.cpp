// SPDX-License-Identifier: MIT
#include "app/null/NullComponents.h"

#include "app/null/NullAccessibilityPermission.h"
#include "app/null/NullDoubleTapTrigger.h"
#include "app/null/NullHotkeyRegistrar.h"
#include "app/null/NullHotkeySelfTest.h"
#include "app/null/NullPasteBack.h"
#include "app/null/NullRunningApplications.h"
#include "app/null/NullSecureInput.h"
#include "app/null/NullSelectionReader.h"

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
    factoryOr<HotkeyRegistrar, NullHotkeyRegistrar>(components.makeHotkeyRegistrar);

    serviceOr<AccessibilityPermission, NullAccessibilityPermission>(components.accessibility);
    serviceOr<SelectionReader, NullSelectionReader>(components.selection);
    serviceOr<PasteBack, NullPasteBack>(components.pasteBack);
    serviceOr<SecureInput, NullSecureInput>(components.secureInput);
    serviceOr<RunningApplications, NullRunningApplications>(components.runningApplications);
    serviceOr<HotkeySelfTest, NullHotkeySelfTest>(components.hotkeySelfTest);
    if (!components.migrateLegacyKey)
        components.migrateLegacyKey = [] {};
}

} // namespace NullComponents
