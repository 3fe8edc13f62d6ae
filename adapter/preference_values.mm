#include "adapter/preference_values.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cmath>

namespace adapter {
namespace {

// The platform object for a host value, nil where it has none.
id propertyListObject(const host::PreferenceValue& value) {
  using Type = host::PreferenceValue::Type;
  switch (value.type) {
    case Type::kBoolean:
      return [NSNumber numberWithBool:value.number != 0 ? YES : NO];
    case Type::kInteger:
      // -2^63 and 2^63 are exact doubles; the first is in range, the second not.
      if (value.number != std::trunc(value.number) || !(value.number >= -0x1p63 && value.number < 0x1p63)) return nil;
      return [NSNumber numberWithLongLong:static_cast<long long>(value.number)];
    case Type::kReal:
      return [NSNumber numberWithDouble:value.number];
    case Type::kString:
      return stringOfBytes(value.text);
    case Type::kOther:
      break;
  }
  return nil;
}

}  // namespace

host::PreferenceValue preferenceValue(id object) {
  using Type = host::PreferenceValue::Type;
  host::PreferenceValue value;
  if ([object isKindOfClass:[NSNumber class]]) {
    // Booleans are NSNumbers too; only their CoreFoundation type tells them
    // from the integers 0 and 1.
    if (CFGetTypeID((CFTypeRef)object) == CFBooleanGetTypeID())
      value.type = Type::kBoolean;
    else
      value.type = CFNumberIsFloatType((CFNumberRef)object) ? Type::kReal : Type::kInteger;
    value.number = value.type == Type::kBoolean ? ([object boolValue] ? 1 : 0) : [object doubleValue];
  } else if ([object isKindOfClass:[NSString class]]) {
    value.type = Type::kString;
    const char* text = [object UTF8String];
    if (text) value.text = text;
  }
  return value;
}

NSString* stringOfBytes(std::string_view utf8) {
  return [[[NSString alloc] initWithBytes:utf8.data() length:utf8.size() encoding:NSUTF8StringEncoding] autorelease];
}

bool keyChanges(std::span<const host::PreferenceChange> changes, KeyChanges& out) {
  out.toSet = [NSMutableDictionary dictionary];
  out.toRemove = [NSMutableArray array];
  for (const host::PreferenceChange& change : changes) {
    NSString* key = stringOfBytes(change.key);
    if (!key) return false;
    // A later change of the same key wins, as it would applied in turn.
    [out.toSet removeObjectForKey:key];
    [out.toRemove removeObject:key];
    if (!change.value) {
      [out.toRemove addObject:key];
      continue;
    }
    id object = propertyListObject(*change.value);
    if (!object) return false;
    [out.toSet setObject:object forKey:key];
  }
  return true;
}

std::vector<std::optional<host::PreferenceValue>> valuesOf(NSDictionary* values,
                                                           std::span<const std::string_view> keys) {
  std::vector<std::optional<host::PreferenceValue>> found(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    NSString* key = stringOfBytes(keys[i]);
    id object = key ? [values objectForKey:key] : nil;
    if (object) found[i] = preferenceValue(object);
  }
  return found;
}

}  // namespace adapter
