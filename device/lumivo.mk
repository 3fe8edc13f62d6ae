# What both deliverables share: targets, the settings code and the adapter's
# common part, and the flags for the repository's C++20 sources. Included
# before Theos's common.mk. Paths are relative to the project that includes
# this file; each project reaches the sources through its `src` link.
LUMIVO_ROOT := $(abspath $(dir $(lastword $(MAKEFILE_LIST)))/..)

# SDK 11.4, the last with 32-bit ARM stubs; iOS 7.0 on both architectures:
# the oldest system whose libc++ the C++20 sources can use, and the first
# with 64-bit ARM (see the README). Both can be set on the command line.
TARGET ?= iphone:clang:11.4:7.0
ARCHS ?= armv7 arm64

LUMIVO_COMMON_FILES = \
	$(wildcard src/settings/*.cpp) \
	src/adapter/application.mm \
	src/adapter/file_system_identity.cpp \
	src/adapter/notifications.mm \
	src/adapter/preference_values.mm \
	src/adapter/preferences.mm \
	src/adapter/preferences_daemon.mm \
	src/adapter/preferences_domain.cpp \
	src/adapter/preferences_file.mm \
	src/adapter/runtime.mm \
	src/adapter/writers_lock.cpp

# Manual reference counting throughout: the adapter retains and releases as
# host.h says, so ARC must stay off. The ecosystem's published headers in
# $(THEOS)/vendor/include stand in for our own declarations
# (device/src/frameworks/).
LUMIVO_CFLAGS = -fno-objc-arc -fvisibility=hidden -fvisibility-inlines-hidden -Wall -Wextra -Werror \
	-DLUMIVO_PUBLISHED_HEADERS -I$(LUMIVO_ROOT)
LUMIVO_CCFLAGS = -std=c++20 -stdlib=libc++
LUMIVO_LDFLAGS = -stdlib=libc++
