# The sources of each deliverable, relative to the repository's root, read
# by the Theos build (package/Makefile, package/LumivoSwitch/Makefile) and by
# CMake (cmake/Sources.cmake). One name per line, `NAME = file file ...`
# with `\` continuations and nothing else, so that both can read it.

# The settings contract both deliverables carry.
LUMIVO_SETTINGS_SOURCES = \
	settings/readings.cpp \
	settings/store.cpp

# Behaviour: the extension Lumivo2 (its initialiser last) and the switch.
LUMIVO2_BEHAVIOUR_SOURCES = \
	extension/brightness_listener.cpp \
	extension/extension_state.cpp \
	extension/front_application.cpp \
	extension/initialiser.cpp
LUMIVO_BEHAVIOUR_SOURCES = \
	switch/lumivo_switch.cpp \
	switch/registration.cpp \
	switch/settings_link.cpp

# The adapter: host.h over the iOS frameworks, split as the deliverables use
# it, and the Objective-C classes each exports.
LUMIVO_ADAPTER_COMMON_SOURCES = \
	adapter/application.mm \
	adapter/file_system_device.cpp \
	adapter/notifications.mm \
	adapter/preference_values.mm \
	adapter/preferences.mm \
	adapter/preferences_daemon.mm \
	adapter/preferences_domain.cpp \
	adapter/preferences_file.mm \
	adapter/runtime.mm \
	adapter/writers_lock.cpp
LUMIVO2_ADAPTER_SOURCES = \
	adapter/activator.mm \
	adapter/backlight.cpp \
	adapter/hooks.mm \
	adapter/screen.mm \
	adapter/springboard.mm \
	adapter/classes/BrightnessListener.mm
LUMIVO_ADAPTER_SOURCES = \
	adapter/alert_controller.mm \
	adapter/alerts.mm \
	adapter/links.mm \
	adapter/switch_classes.mm \
	adapter/switch_panel.mm \
	adapter/classes/LumivoSwitch.mm
