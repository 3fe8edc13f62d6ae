"""The header agreement check on small declarations compiled in memory:
properties stand for their accessors, enumerations are compared by their
constants, and any difference in a selector, type or C signature is named.
Skipped without libclang's Python bindings."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import headers_agree  # noqa: E402

try:
    CINDEX = headers_agree.load_clang()
    CINDEX.Index.create()
except Exception:  # no bindings or no libclang
    CINDEX = None

BASE = """
@interface NSObject
@end
@class NSString;
typedef signed char BOOL;
"""


def declarations(source):
    unit = CINDEX.TranslationUnit.from_source(
        "t.mm", ["-x", "objective-c++", "-fobjc-runtime=ios-7.0", "-Wno-everything"] + headers_agree.resource_dir(),
        unsaved_files=[("t.mm", BASE + source)])
    return headers_agree.collect(CINDEX, unit)


OURS = """
typedef enum { StateOff = 0, StateOn = 1, StateUnknown = -1 } State;
@interface Event : NSObject
- (void)setHandled:(BOOL)handled;
+ (Event*)current;
@end
@protocol Source
@optional
- (State)stateFor:(NSString*)name;
@end
extern "C" void setLevel(float level);
"""

PUBLISHED = """
typedef enum { StateOff = 0, StateOn = 1, StateUnknown = -1 } State;
@interface Event : NSObject
@property (nonatomic, getter=isHandled) BOOL handled;
@property (nonatomic, readonly) NSString *name;
+ (Event *)current;
@end
@protocol Source
- (State)stateFor:(NSString *)name;
- (void)other;
@end
extern "C" {
void setLevel(float level);
}
"""


@unittest.skipUnless(CINDEX, "libclang's Python bindings are not installed (python3-clang-19)")
class Agreement(unittest.TestCase):
    def test_same_declarations_in_other_words_agree(self):
        self.assertEqual(headers_agree.differences(declarations(OURS), declarations(PUBLISHED)), [])

    def test_each_kind_of_difference_is_named(self):
        theirs = declarations(PUBLISHED
                              .replace("void setLevel(float level)", "void setLevel(double level)")
                              .replace("StateUnknown = -1", "StateUnknown = 2")
                              .replace("+ (Event *)current;", "+ (id)current;"))
        ours = declarations(OURS.replace("@end\n@protocol", "- (void)cancel;\n@end\n@protocol"))
        found = "\n".join(headers_agree.differences(ours, theirs))
        self.assertIn("setLevel(): ours (void, [float], False), published (void, [double], False)", found)
        self.assertIn("typedef State:", found)
        self.assertIn("@protocol Source -stateFor::", found)
        self.assertIn("Event +current: ours (Event *, []), published (id, [])", found)
        self.assertIn("Event -cancel: not declared by the published headers", found)

    def test_an_int_is_not_the_enumeration_it_holds(self):
        ours = declarations(OURS.replace("typedef enum { StateOff = 0, StateOn = 1, StateUnknown = -1 } State;",
                                         "typedef int State;"))
        found = headers_agree.differences(ours, declarations(PUBLISHED))
        self.assertTrue(any(f.startswith("typedef State: ours int") for f in found), found)

    def test_a_read_only_property_has_no_setter(self):
        ours = declarations(OURS.replace("+ (Event*)current;", "- (void)setName:(NSString*)name;"))
        self.assertIn("Event -setName:: not declared by the published headers",
                      headers_agree.differences(ours, declarations(PUBLISHED)))


if __name__ == "__main__":
    unittest.main()
