// Reading a definition into objects. See Streaming.h for the whole picture.
#pragma once

#include "platform/streaming/Persistent.h"

#include <map>
#include <memory>
#include <string_view>

namespace streaming {

// The state of one reading. Property readers receive it to defer work to
// the fix-up pass, to find components and to read nested records.
//
// Order of a reading: the text is parsed whole (syntax errors touch no
// object); every class name is checked against the registry; components
// are created parents first and their members applied in file order; then
// the references are assigned, then the fix-ups run in the order they were
// added, then each component's Loaded() runs in creation order. Any fault
// raises EDefinitionError with the line of the member that caused it; the
// objects made so far then leave the loading state without Loaded().
class TReadContext {
public:
  explicit TReadContext(const TClassRegistry &registry = ClassRegistry());
  TReadContext(const TReadContext &) = delete;
  TReadContext &operator=(const TReadContext &) = delete;

  // Reads a definition into an existing root whose class must be the
  // definition's (a window reading its own definition).
  void ReadInto(std::string_view text, TStoredComponent &root);
  void ReadInto(const TValue &tree, TStoredComponent &root);
  // Creates the root from its registered class.
  std::unique_ptr<TStoredComponent> ReadNew(std::string_view text);
  std::unique_ptr<TStoredComponent> ReadNew(const TValue &tree);

  // ---- For property readers ----
  TStoredComponent &Root() const { return *root_; }
  // The component whose member is being applied.
  TStoredComponent &Component() const { return *component_; }
  // The line of the member being applied.
  int Line() const noexcept { return line_; }
  // Runs fn after the whole definition is read and the references are
  // assigned, before any Loaded(); faults it raises carry this line. Use it
  // for indexes into lists that later members may still fill.
  void AddFixup(std::function<void()> fn);
  // Assigns the component named name once the whole definition is read; a
  // name no component has is a fault at this line.
  void ResolveLater(const std::string &name, std::function<void(TStoredComponent *)> assign);
  // A component by name: those read so far (all of them, once fix-ups
  // run), then those the root already held as stored children.
  TStoredComponent *FindComponent(std::string_view name) const;
  // Applies a record's members to target, as the members of a component
  // are applied; for custom keys that hold records.
  void ReadRecord(const TValue &record, TPersistent &target);
  // Applies one property (a dotted path) to target.
  void ReadProperty(TPersistent &target, const std::string &path, const TValue &value);
  const TClassRegistry &Registry() const noexcept { return registry_; }

private:
  struct TPendingRef {
    std::string Name;
    int Line;
    std::function<void(TStoredComponent *)> Assign;
  };
  struct TFixup {
    int Line;
    std::function<void()> Fn;
  };

  const TClassRegistry &registry_;
  TStoredComponent *root_ = nullptr;
  TStoredComponent *component_ = nullptr;
  int line_ = 0;
  std::vector<TStoredComponent *> created_;
  std::map<std::string, std::pair<TStoredComponent *, int>, std::less<>> names_;
  std::vector<TPendingRef> refs_;
  std::vector<TFixup> fixups_;

  void CheckClasses(const TValue &object, bool isRoot) const;
  void Begin(TStoredComponent &root, const TValue &tree);
  void Finish();
  void Abandon() noexcept;
  void NameComponent(TStoredComponent &c, const TValue &node);
  void ApplyMembers(const TValue &node, TStoredComponent &c);
  void CreateChild(const TValue &node, TStoredComponent &parent);
  void ApplyGuarded(TPersistent &target, const TMember &m, const std::string &owner);
  static void Unload(TStoredComponent &c) noexcept { c.loading_ = false; }
  static void MarkLoading(TStoredComponent &c) noexcept { c.loading_ = true; }
};

// Shorthands on the program's registry.
void ReadComponent(std::string_view text, TStoredComponent &root);
std::unique_ptr<TStoredComponent> ReadComponent(std::string_view text);

} // namespace streaming
