#include "platform/streaming/DefinitionReader.h"

#include "platform/streaming/DefinitionText.h"

namespace streaming {

namespace {

std::string Describe(const TStoredComponent &c) {
  std::string s(c.ClassName());
  if (!c.Name().empty()) s += " " + c.Name();
  return s;
}

} // namespace

TReadContext::TReadContext(const TClassRegistry &registry) : registry_(registry) {}

void TReadContext::ReadInto(std::string_view text, TStoredComponent &root) { ReadInto(ParseDefinition(text), root); }

std::unique_ptr<TStoredComponent> TReadContext::ReadNew(std::string_view text) {
  return ReadNew(ParseDefinition(text));
}

void TReadContext::ReadInto(const TValue &tree, TStoredComponent &root) {
  if (tree.Kind != TValueKind::vkObject) throw EDefinitionError("a definition holds one component", tree.Line);
  if (tree.Text != root.ClassName())
    throw EDefinitionError("the definition describes a " + tree.Text + ", not a " + std::string(root.ClassName()),
                           tree.Line);
  CheckClasses(tree, true);
  Begin(root, tree);
  try {
    ApplyMembers(tree, root);
    Finish();
  } catch (...) {
    Abandon();
    throw;
  }
}

std::unique_ptr<TStoredComponent> TReadContext::ReadNew(const TValue &tree) {
  if (tree.Kind != TValueKind::vkObject) throw EDefinitionError("a definition holds one component", tree.Line);
  CheckClasses(tree, false);
  std::unique_ptr<TPersistent> made = registry_.Create(tree.Text);
  auto *component = dynamic_cast<TStoredComponent *>(made.get());
  if (!component) throw EDefinitionError(tree.Text + " is not a component", tree.Line);
  made.release();
  std::unique_ptr<TStoredComponent> root(component);
  Begin(*root, tree);
  try {
    ApplyMembers(tree, *root);
    Finish();
  } catch (...) {
    Abandon();
    throw;
  }
  return root;
}

// Every class is checked before anything is created, so that the commonest
// fault, a class that was never registered, leaves no half-built objects.
void TReadContext::CheckClasses(const TValue &object, bool isRoot) const {
  if (!isRoot && !registry_.IsRegistered(object.Text))
    throw EDefinitionError("unknown class " + object.Text, object.Line);
  for (const auto &m : object.Members)
    if (m.IsChild()) CheckClasses(m.Value, false);
}

void TReadContext::Begin(TStoredComponent &root, const TValue &tree) {
  root_ = &root;
  component_ = &root;
  line_ = tree.Line;
  created_.clear();
  names_.clear();
  refs_.clear();
  fixups_.clear();
  MarkLoading(root);
  created_.push_back(&root);
  NameComponent(root, tree);
}

void TReadContext::NameComponent(TStoredComponent &c, const TValue &node) {
  if (node.Name.empty()) return;
  auto [it, added] = names_.emplace(node.Name, std::make_pair(&c, node.Line));
  if (!added)
    throw EDefinitionError("a second component named " + node.Name + " (the first is at line " +
                               std::to_string(it->second.second) + ")",
                           node.Line);
  c.SetName(node.Name);
}

void TReadContext::ApplyMembers(const TValue &node, TStoredComponent &c) {
  std::string owner = Describe(c);
  for (const auto &m : node.Members) {
    component_ = &c;
    line_ = m.Line;
    if (m.IsChild())
      CreateChild(m.Value, c);
    else
      ApplyGuarded(c, m, owner);
  }
}

void TReadContext::CreateChild(const TValue &node, TStoredComponent &parent) {
  std::unique_ptr<TPersistent> made = registry_.Create(node.Text);
  auto *child = dynamic_cast<TStoredComponent *>(made.get());
  if (!child) throw EDefinitionError(node.Text + " is not a component", node.Line);
  made.release();
  std::unique_ptr<TStoredComponent> owned(child);
  MarkLoading(*child);
  try {
    if (!node.Name.empty()) {
      auto it = names_.find(node.Name);
      if (it != names_.end())
        throw EDefinitionError("a second component named " + node.Name + " (the first is at line " +
                               std::to_string(it->second.second) + ")");
      child->SetName(node.Name);
    }
    parent.InsertStoredChild(std::move(owned));
  } catch (EDefinitionError &e) {
    e.AttachLine(node.Line);
    throw;
  } catch (const rtl::Exception &e) {
    throw EDefinitionError(Describe(parent) + ": " + e.Message(), node.Line);
  }
  // The parent owns it now; from here on it is only referred to.
  created_.push_back(child);
  if (!node.Name.empty()) names_.emplace(node.Name, std::make_pair(child, node.Line));
  ApplyMembers(node, *child);
}

void TReadContext::ApplyGuarded(TPersistent &target, const TMember &m, const std::string &owner) {
  try {
    ReadProperty(target, m.Path, m.Value);
  } catch (EDefinitionError &e) {
    e.AttachLine(m.Line);
    throw;
  } catch (const rtl::Exception &e) {
    // A setter refused the value: say which property, keep its own words.
    throw EDefinitionError(owner + "." + m.Path + ": " + e.Message(), m.Line);
  }
}

void TReadContext::ReadProperty(TPersistent &target, const std::string &path, const TValue &value) {
  TPersistent *object = &target;
  size_t start = 0;
  for (;;) {
    size_t dot = path.find('.', start);
    std::string segment = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    TPropertyTable table;
    object->DefineProperties(table);
    const TPropertyDef *def = table.Find(segment);
    std::string soFar = path.substr(0, dot);
    if (!def) throw EDefinitionError("unknown property " + soFar + " of " + Describe(*component_), value.Line);
    if (dot == std::string::npos) {
      if (def->Object) {
        TPersistent *sub = def->Object();
        if (!sub) throw EDefinitionError(soFar + " cannot be set here", value.Line);
        if (value.Kind != TValueKind::vkRecord || !value.Text.empty())
          value.Fail(soFar + " is an object: expected its properties as a record");
        ReadRecord(value, *sub);
        return;
      }
      if (!def->Read) throw EDefinitionError(soFar + " cannot be read", value.Line);
      def->Read(value, *this);
      return;
    }
    if (!def->Object) throw EDefinitionError(soFar + " is not an object, so it has no " + path, value.Line);
    object = def->Object();
    if (!object) throw EDefinitionError(soFar + " cannot be set here", value.Line);
    start = dot + 1;
  }
}

void TReadContext::ReadRecord(const TValue &record, TPersistent &target) {
  record.AsRecord();
  for (const auto &m : record.Members) {
    try {
      ReadProperty(target, m.Path, m.Value);
    } catch (EDefinitionError &e) {
      e.AttachLine(m.Line);
      throw;
    }
  }
}

void TReadContext::AddFixup(std::function<void()> fn) { fixups_.push_back(TFixup{line_, std::move(fn)}); }

void TReadContext::ResolveLater(const std::string &name, std::function<void(TStoredComponent *)> assign) {
  refs_.push_back(TPendingRef{name, line_, std::move(assign)});
}

TStoredComponent *TReadContext::FindComponent(std::string_view name) const {
  auto it = names_.find(name);
  if (it != names_.end()) return it->second.first;
  // A window may make some of its components in code before it reads its
  // definition; the definition may still name them.
  return root_ && !name.empty() ? streaming::FindComponent(*root_, name) : nullptr;
}

void TReadContext::Finish() {
  auto guarded = [](int line, const std::function<void()> &fn) {
    try {
      fn();
    } catch (EDefinitionError &e) {
      e.AttachLine(line);
      throw;
    } catch (const rtl::Exception &e) {
      throw EDefinitionError(e.Message(), line);
    }
  };
  for (const auto &ref : refs_) {
    line_ = ref.Line;
    TStoredComponent *target = FindComponent(ref.Name);
    if (!target) throw EDefinitionError("no component named " + ref.Name, ref.Line);
    guarded(ref.Line, [&] { ref.Assign(target); });
  }
  // A fix-up may add further fix-ups; they run in turn.
  for (size_t i = 0; i < fixups_.size(); ++i) {
    TFixup f = fixups_[i];
    line_ = f.Line;
    guarded(f.Line, f.Fn);
  }
  for (TStoredComponent *c : created_) {
    Unload(*c);
    component_ = c;
    guarded(0, [c] { c->Loaded(); });
  }
  refs_.clear();
  fixups_.clear();
}

void TReadContext::Abandon() noexcept {
  for (TStoredComponent *c : created_)
    Unload(*c);
  created_.clear();
  names_.clear();
  refs_.clear();
  fixups_.clear();
}

void ReadComponent(std::string_view text, TStoredComponent &root) { TReadContext().ReadInto(text, root); }

std::unique_ptr<TStoredComponent> ReadComponent(std::string_view text) { return TReadContext().ReadNew(text); }

} // namespace streaming
