// The loader and the toggle framework: loading a library or a switch bundle.
#import <Foundation/Foundation.h>

#include <dlfcn.h>

#include "sim/frameworks/platform.h"

namespace standin {

void* loadModule(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle && error) *error = dlerror();
  return handle;
}

id loadSwitch(const std::string& executable, const std::string& infoPlist, std::string* error) {
  if (!loadModule(executable, error)) return nil;
  NSDictionary* info = [NSDictionary dictionaryWithContentsOfFile:[NSString stringWithUTF8String:infoPlist.c_str()]];
  NSString* principal = [info objectForKey:@"NSPrincipalClass"];
  Class cls = principal ? NSClassFromString(principal) : Nil;
  id source = [[cls alloc] init];
  if (!source && error) *error = "no instance of the principal class named in " + infoPlist;
  return source;
}

}  // namespace standin
