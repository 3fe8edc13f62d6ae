#import <Foundation/Foundation.h>

#include "gnustep_reader.h"

int gnustepLookup(const char* path, const char* const* keys, int count) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  int found = -1;
  NSData* data = [NSData dataWithContentsOfFile:[NSString stringWithUTF8String:path]];
  id plist = data ? [NSPropertyListSerialization propertyListWithData:data options:0 format:NULL error:NULL] : nil;
  if ([plist isKindOfClass:[NSDictionary class]]) {
    found = 0;
    for (int i = 0; i < count; ++i)
      if ([plist objectForKey:[NSString stringWithUTF8String:keys[i]]]) ++found;
  }
  [pool drain];
  return found;
}
