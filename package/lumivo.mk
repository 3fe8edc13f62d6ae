# What both deliverables share: targets, the source lists and the flags for
# the repository's C++20 sources. Included before Theos's common.mk. Each
# project reaches the sources through its `src` link (package/src), so that
# Theos keeps its objects inside its own folder.
LUMIVO_PACKAGE := $(abspath $(dir $(lastword $(MAKEFILE_LIST))))
LUMIVO_ROOT := $(abspath $(LUMIVO_PACKAGE)/..)
include $(LUMIVO_PACKAGE)/sources.mk

# SDK 11.4, the last with 32-bit ARM stubs; iOS 7.0 on both architectures:
# the oldest system whose libc++ the C++20 sources can use, and the first
# with 64-bit ARM (see docs/device-build.md). Both can be set on the command line.
TARGET ?= iphone:clang:11.4:7.0
ARCHS ?= armv7 arm64

# Manual reference counting throughout: the adapter retains and releases as
# host.h says, so ARC must stay off. The ecosystem's published headers in
# $(THEOS)/vendor/include stand in for our own declarations
# (adapter/frameworks/).
LUMIVO_CFLAGS = -fno-objc-arc -fvisibility=hidden -fvisibility-inlines-hidden -Wall -Wextra -Werror \
	-DLUMIVO_PUBLISHED_HEADERS -I$(LUMIVO_ROOT)
LUMIVO_CCFLAGS = -std=c++20 -stdlib=libc++
LUMIVO_LDFLAGS = -stdlib=libc++
LUMIVO_FRAMEWORKS = Foundation CoreFoundation UIKit

# lumivo_deliverable NAME: a Theos instance's files and flags, set once for
# both deliverables.
define lumivo_deliverable
$(1)_CFLAGS = $$(LUMIVO_CFLAGS)
$(1)_CCFLAGS = $$(LUMIVO_CCFLAGS)
$(1)_LDFLAGS = $$(LUMIVO_LDFLAGS)
$(1)_FRAMEWORKS = $$(LUMIVO_FRAMEWORKS)
endef
