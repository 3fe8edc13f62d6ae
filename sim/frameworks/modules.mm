// The loader and the toggle framework: loading a library or a switch bundle,
// and the framework's panel.
#import <Foundation/Foundation.h>

#include <dlfcn.h>
#include <objc/runtime.h>

#include "sim/frameworks/platform.h"

namespace {

std::vector<std::string>& stateChanges() {
  static auto* changes = new std::vector<std::string>;
  return *changes;
}

}  // namespace

// The implementations FSSwitchPanel is made with.
@interface StandinSwitchPanel : NSObject
@end

@implementation StandinSwitchPanel

+ (id)sharedPanel {
  static id panel = [[self alloc] init];
  return panel;
}

- (void)stateDidChangeForSwitchIdentifier:(NSString*)switchIdentifier {
  stateChanges().push_back([switchIdentifier UTF8String] ? [switchIdentifier UTF8String] : "(nil)");
}

@end

namespace standin {

void* loadModule(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle && error) *error = dlerror();
  return handle;
}

id loadSwitch(const std::string& executable, const std::string& infoPlist, std::string* error) {
  offerSwitchPanel(true);
  if (!loadModule(executable, error)) return nil;
  NSDictionary* info = [NSDictionary dictionaryWithContentsOfFile:[NSString stringWithUTF8String:infoPlist.c_str()]];
  NSString* principal = [info objectForKey:@"NSPrincipalClass"];
  Class cls = principal ? NSClassFromString(principal) : Nil;
  id source = [[cls alloc] init];
  if (!source && error) *error = "no instance of the principal class named in " + infoPlist;
  return source;
}

void offerSwitchPanel(bool withStateChange) {
  Class source = objc_getClass("StandinSwitchPanel");
  Class panel = objc_getClass("FSSwitchPanel");
  if (!panel) {
    panel = objc_allocateClassPair(objc_getClass("NSObject"), "FSSwitchPanel", 0);
    objc_registerClassPair(panel);
    Method shared = class_getClassMethod(source, @selector(sharedPanel));
    class_addMethod(object_getClass(panel), @selector(sharedPanel), method_getImplementation(shared),
                    method_getTypeEncoding(shared));
  }
  // Adds nothing where the class has the method already.
  if (withStateChange) {
    Method change = class_getInstanceMethod(source, @selector(stateDidChangeForSwitchIdentifier:));
    class_addMethod(panel, @selector(stateDidChangeForSwitchIdentifier:), method_getImplementation(change),
                    method_getTypeEncoding(change));
  }
}

const std::vector<std::string>& switchStateChanges() { return stateChanges(); }

}  // namespace standin
