#include "sim/frameworks/foundation_files.h"

#include <CoreFoundation/CoreFoundation.h>
#include <dlfcn.h>
#include <objc/runtime.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/device_files.h"
#include "sim/journal.h"
#include "sim/plist/atomic_file.h"
#include "sim/plist/document.h"
#include "sim/plist/limits.h"
#include "sim/plist/xml_writer.h"

namespace standin {
namespace {

constexpr char kReadCall[] = "+[NSPropertyListSerialization propertyListWithData:options:format:error:]";
constexpr char kWriteCall[] = "-[NSDictionary writeToFile:atomically:]";
constexpr char kReadFileCall[] = "+[NSDictionary dictionaryWithContentsOfFile:]";

// GNUstep's own implementations, which its own code keeps calling: its
// resources (locales, defaults, bundles) are its business, not the device's.
IMP gOriginalRead, gOriginalWrite, gOriginalReadFile;

// Whether the code at `caller` is GNUstep's Foundation library itself.
bool calledByFoundation(const void* caller) {
  static const void* foundation = [] {
    Dl_info info{};
    IMP inFoundation = method_getImplementation(class_getInstanceMethod([NSObject class], @selector(description)));
    return dladdr(reinterpret_cast<void*>(inFoundation), &info) ? info.dli_fbase : nullptr;
  }();
  Dl_info info{};
  return foundation && dladdr(caller, &info) && info.dli_fbase == foundation;
}

std::string_view bytesOf(NSData* data) {
  return {static_cast<const char*>([data bytes]), static_cast<std::size_t>([data length])};
}

NSString* stringOf(std::string_view utf8) {
  return [[[NSString alloc] initWithBytes:utf8.data() length:utf8.size() encoding:NSUTF8StringEncoding] autorelease];
}

// The UTF-8 bytes of a string, all of them (U+0000 included); none when it
// has no UTF-8 form.
std::optional<std::string> utf8Of(NSString* string) {
  NSData* bytes = [string dataUsingEncoding:NSUTF8StringEncoding allowLossyConversion:NO];
  if (!bytes) return std::nullopt;
  return std::string(bytesOf(bytes));
}

std::optional<plist::Value> valueAt(id object, int depth) {
  if (depth > plist::kMaxDepth) return std::nullopt;
  if ([object isKindOfClass:[NSString class]]) {
    auto text = utf8Of(object);
    if (!text) return std::nullopt;
    return plist::Value::string(*text);
  }
  if ([object isKindOfClass:[NSNumber class]]) {
    if (CFGetTypeID((CFTypeRef)object) == CFBooleanGetTypeID()) return plist::Value::boolean([object boolValue]);
    const char type = *[object objCType];
    if (type == 'f' || type == 'd') return plist::Value::real([object doubleValue]);
    // Above 2^63 - 1 only as an unsigned number.
    if ((type == 'Q' || type == 'L') && [object unsignedLongLongValue] > 0x7FFFFFFFFFFFFFFFull)
      return plist::Value::integer(plist::Integer{[object unsignedLongLongValue], true});
    return plist::Value::integer(static_cast<std::int64_t>([object longLongValue]));
  }
  if ([object isKindOfClass:[NSDate class]]) return plist::Value::date([object timeIntervalSinceReferenceDate]);
  if ([object isKindOfClass:[NSData class]]) return plist::Value::data(bytesOf(object));
  if ([object isKindOfClass:[NSArray class]]) {
    std::vector<plist::Value> items;
    for (id item in (NSArray*)object) {
      auto value = valueAt(item, depth + 1);
      if (!value) return std::nullopt;
      items.push_back(std::move(*value));
    }
    return plist::Value::array(std::move(items));
  }
  if ([object isKindOfClass:[NSDictionary class]]) {
    // Sorted, as the device's writer lays a dictionary out.
    std::vector<std::pair<std::string, id>> keyed;
    for (id key in (NSDictionary*)object) {
      if (![key isKindOfClass:[NSString class]]) return std::nullopt;
      auto text = utf8Of(key);
      if (!text) return std::nullopt;
      keyed.emplace_back(std::move(*text), [object objectForKey:key]);
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<std::string, plist::Value>> entries;
    for (auto& [key, item] : keyed) {
      auto value = valueAt(item, depth + 1);
      if (!value) return std::nullopt;
      entries.emplace_back(std::move(key), std::move(*value));
    }
    return plist::Value::dictionary(std::move(entries));
  }
  return std::nullopt;
}

// The encoding of bytes that read, as Foundation names it.
NSPropertyListFormat formatOf(std::string_view bytes) {
  if (bytes.starts_with("bplist")) return NSPropertyListBinaryFormat_v1_0;
  std::size_t first = bytes.find_first_not_of(" \t\r\n");
  if (bytes.starts_with("\xEF\xBB\xBF") || (first != std::string_view::npos && bytes[first] == '<'))
    return NSPropertyListXMLFormat_v1_0;
  return NSPropertyListOpenStepFormat;
}

// The device path of a host path below the device root; none outside it,
// or when a "." or ".." part could lead out of it.
std::optional<std::string> devicePathOf(const std::string& path) {
  std::string root = sim::hostPath("/");
  std::string device;
  if (root == "/") {
    device = path;
  } else {
    root.pop_back();
    if (path.compare(0, root.size(), root) != 0 || path.size() <= root.size() || path[root.size()] != '/')
      return std::nullopt;
    device = path.substr(root.size());
  }
  if (device.empty() || device.front() != '/') return std::nullopt;
  for (std::size_t i = 0; i < device.size();) {
    std::size_t end = std::min(device.find('/', i + 1), device.size());
    std::string_view part(device.data() + i + 1, end - i - 1);
    if (part == "." || part == "..") return std::nullopt;
    i = end;
  }
  return device;
}

NSError* readError(const std::string& why) {
  NSDictionary* info = [NSDictionary dictionaryWithObject:stringOf(why) forKey:NSLocalizedDescriptionKey];
  return [NSError errorWithDomain:NSCocoaErrorDomain code:3840 userInfo:info];
}

// The property list in `bytes`, autoreleased, or nil with `why` saying why.
id propertyListOf(std::string_view bytes, NSPropertyListMutabilityOptions options, NSPropertyListFormat* format,
                  std::string& why) {
  if (bytes.size() > plist::kMaxFileBytes) {
    why = "larger than the limit of " + std::to_string(plist::kMaxFileBytes >> 20) + " MiB";
    return nil;
  }
  plist::Tree tree;
  plist::ReadResult result;
  if (!tree.read(std::string(bytes), &result)) {
    why = result.describe();
    return nil;
  }
  if (format) *format = formatOf(bytes);
  return objectOf(tree.root(), options != NSPropertyListImmutable);
}

id readPropertyList(id self, SEL cmd, NSData* data, NSPropertyListReadOptions options, NSPropertyListFormat* format,
                    NSError** error) {
  if (calledByFoundation(__builtin_return_address(0)))
    return reinterpret_cast<id (*)(id, SEL, NSData*, NSPropertyListReadOptions, NSPropertyListFormat*, NSError**)>(
        gOriginalRead)(self, cmd, data, options, format, error);
  std::string why;
  id list = propertyListOf(bytesOf(data), static_cast<NSPropertyListMutabilityOptions>(options), format, why);
  sim::journal(kReadCall, std::to_string([data length]) + " bytes" + (list ? "" : ": " + why));
  if (!list && error) *error = readError(why);
  return list;
}

BOOL writeDictionary(id self, SEL cmd, NSString* path, BOOL atomically) {
  if (calledByFoundation(__builtin_return_address(0)))
    return reinterpret_cast<BOOL (*)(id, SEL, NSString*, BOOL)>(gOriginalWrite)(self, cmd, path, atomically);
  const std::string hostPath = [path fileSystemRepresentation];
  auto devicePath = devicePathOf(hostPath);
  if (!devicePath) {
    sim::journal(kWriteCall, hostPath + ": outside the device");
    errno = EACCES;
    return NO;
  }
  auto value = valueAt(self, 1);
  plist::XmlRefusal refusal = plist::XmlRefusal::kNone;
  std::string xml;
  if (value) {
    plist::Document document;
    for (std::size_t i = 0; i < value->keys().size(); ++i) document.setValue(value->keys()[i], value->items()[i]);
    xml = document.toXml(&refusal);
  }
  std::string outcome;
  if (xml.empty()) {
    outcome = value ? plist::describeXmlRefusal(refusal) : "holds what a property list cannot";
    errno = EINVAL;
  } else if (sim::takeWriteFault(*devicePath)) {
    outcome = std::strerror(errno = EIO);
  } else if (!sim::replaceDeviceFile(*devicePath, xml, false)) {
    outcome = std::strerror(errno);
  }
  sim::journal(kWriteCall, *devicePath + (outcome.empty() ? "" : ": " + outcome));
  return outcome.empty() ? YES : NO;
}

id readDictionaryFile(Class self, SEL cmd, NSString* path) {
  if (calledByFoundation(__builtin_return_address(0)))
    return reinterpret_cast<id (*)(Class, SEL, NSString*)>(gOriginalReadFile)(self, cmd, path);
  const std::string hostPath = [path fileSystemRepresentation];
  std::string bytes;
  bool read = false;
  // A file of the device is reached inside its root; any other (a bundle
  // the loader was given) is the machine's own.
  const auto devicePath = devicePathOf(hostPath);
  if (devicePath)
    read = sim::readDeviceFileChecked(*devicePath, bytes) == sim::DeviceRead::kRead;
  else
    read = plist::readWholeFile(hostPath, bytes);
  std::string why = "cannot be read";
  const bool mutableContainers = [self isSubclassOfClass:[NSMutableDictionary class]];
  id list = read ? propertyListOf(bytes, mutableContainers ? NSPropertyListMutableContainers : NSPropertyListImmutable,
                                  nullptr, why)
                 : nil;
  if (list && ![list isKindOfClass:[NSDictionary class]]) {
    list = nil;
    why = "not a dictionary";
  }
  sim::journal(kReadFileCall, devicePath.value_or(hostPath) + (list ? "" : ": " + why));
  return list;
}

void replace(Method method, IMP implementation, IMP& original) {
  if (method) original = method_setImplementation(method, implementation);
}

}  // namespace

id objectOf(plist::Node node, bool mutableContainers) {
  if (!node) return nil;
  switch (node.type()) {
    case plist::Type::Dictionary: {
      NSMutableDictionary* values = [NSMutableDictionary dictionaryWithCapacity:node.size()];
      for (std::size_t i = 0; i < node.size(); ++i)
        [values setObject:objectOf(node.at(i), mutableContainers) forKey:stringOf(node.keyAt(i))];
      return mutableContainers ? values : [NSDictionary dictionaryWithDictionary:values];
    }
    case plist::Type::Array: {
      NSMutableArray* items = [NSMutableArray arrayWithCapacity:node.size()];
      for (std::size_t i = 0; i < node.size(); ++i) [items addObject:objectOf(node.at(i), mutableContainers)];
      return mutableContainers ? items : [NSArray arrayWithArray:items];
    }
    case plist::Type::String: return stringOf(node.text());
    case plist::Type::Integer: {
      const plist::Integer integer = node.integer();
      if (integer.isUnsigned) return [NSNumber numberWithUnsignedLongLong:integer.bits];
      return [NSNumber numberWithLongLong:static_cast<long long>(integer.bits)];
    }
    case plist::Type::Real: return [NSNumber numberWithDouble:node.real()];
    case plist::Type::Boolean: return [NSNumber numberWithBool:node.boolean() ? YES : NO];
    case plist::Type::Date: return [NSDate dateWithTimeIntervalSinceReferenceDate:node.date()];
    case plist::Type::Data: return [NSData dataWithBytes:node.text().data() length:node.text().size()];
    case plist::Type::Uid:
      return [NSDictionary dictionaryWithObject:[NSNumber numberWithUnsignedLongLong:node.uid()]
                                         forKey:stringOf(plist::kUidKey)];
  }
  return nil;
}

std::optional<plist::Value> valueOf(id object) { return valueAt(object, 1); }

void installFoundationFileMethods() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Class serialization = [NSPropertyListSerialization class];
  replace(class_getClassMethod(serialization, @selector(propertyListWithData:options:format:error:)),
          reinterpret_cast<IMP>(&readPropertyList), gOriginalRead);
  Class dictionary = [NSDictionary class];
  replace(class_getInstanceMethod(dictionary, @selector(writeToFile:atomically:)),
          reinterpret_cast<IMP>(&writeDictionary), gOriginalWrite);
  replace(class_getClassMethod(dictionary, @selector(dictionaryWithContentsOfFile:)),
          reinterpret_cast<IMP>(&readDictionaryFile), gOriginalReadFile);
}

}  // namespace standin
