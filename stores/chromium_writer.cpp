#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "platform/text.h"
#include "stores/chromium_bookmarks.h"
#include "stores/chromium_document.h"

namespace {

// A folder the program added, with the ids of the links moved into it.
struct NewFolder {
  std::u16string name;
  std::string parentId;  // "": at the top
  int parentNew = -1;    // >= 0: inside that earlier new folder
  std::vector<std::string> links;
};

struct Plan {
  std::vector<NewFolder> folders;
  std::map<std::string, std::u16string> fixes;  // id -> new address
  std::set<std::string> tops;
  bool foreign = false;
};

const std::string* IdOf(const std::shared_ptr<const StoredItem>& stored) {
  if (!stored || stored->form != TextForm::Plain || stored->StoreId().empty()) return nullptr;
  return &stored->StoreId();
}

void PlanFolder(const BookmarkFolder& folder, const std::string& id, int newIndex, Plan& plan) {
  for (const BookmarkFolder& sub : folder.folders) {
    if (const std::string* subId = IdOf(sub.stored)) {
      if (newIndex >= 0) plan.foreign = true;
      if (id.empty()) plan.tops.insert(*subId);
      PlanFolder(sub, *subId, -1, plan);
      continue;
    }
    plan.folders.push_back(NewFolder{sub.name, id, newIndex, {}});
    PlanFolder(sub, std::string(), static_cast<int>(plan.folders.size() - 1), plan);
  }
  for (const BookmarkLink& link : folder.links) {
    const std::string* linkId = IdOf(link.stored);
    if (!linkId || (id.empty() && newIndex < 0)) {
      plan.foreign = true;
      continue;
    }
    if (newIndex >= 0) plan.folders[static_cast<std::size_t>(newIndex)].links.push_back(*linkId);
    if (link.status == Fix) plan.fixes[*linkId] = link.url;
  }
}

bool HoldsLinks(const Plan& plan, std::size_t index) {
  if (!plan.folders[index].links.empty()) return true;
  for (std::size_t i = index + 1; i < plan.folders.size(); ++i) {
    if (plan.folders[i].parentNew == static_cast<int>(index) && HoldsLinks(plan, i)) return true;
  }
  return false;
}

constexpr long long kHighestId = 1000000000000000LL;

std::string IdText(const json::Value& node) {
  auto id = node.find("id");
  return id != node.end() && id->is_string() ? id->get<std::string>() : std::string();
}

// Every node object of the document, each before all the nodes inside it.
std::vector<json::Value*> AllNodes(json::Value& document) {
  std::vector<json::Value*> nodes;
  std::vector<json::Value*> pending;
  for (json::Value& top : document["roots"]) pending.push_back(&top);
  while (!pending.empty()) {
    json::Value* node = pending.back();
    pending.pop_back();
    if (!node->is_object()) continue;
    nodes.push_back(node);
    auto children = node->find("children");
    if (children == node->end() || !children->is_array()) continue;
    for (json::Value& child : *children) pending.push_back(&child);
  }
  return nodes;
}

// The browser's time: microseconds since 1601, as text.
std::string BrowserNow() {
  using namespace std::chrono;
  constexpr long long kFrom1601To1970 = 11644473600LL * 1000000;
  return std::to_string(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count() +
                        kFrom1601To1970);
}

std::string NewGuid() {
  std::random_device random;
  static const char kHex[] = "0123456789abcdef";
  std::string guid;
  for (int i = 0; i < 32; ++i) {
    unsigned digit = random() % 16;
    if (i == 12) digit = 4;                  // version 4: random
    if (i == 16) digit = 8 + (digit & 3);    // the RFC 4122 variant
    if (i == 8 || i == 12 || i == 16 || i == 20) guid.push_back('-');
    guid.push_back(kHex[digit]);
  }
  return guid;
}

json::Value FolderNode(const NewFolder& folder, const std::string& id, const std::string& now) {
  json::Value node = json::Value::object();
  node["children"] = json::Value::array();
  node["date_added"] = now;
  node["date_last_used"] = "0";
  node["date_modified"] = now;
  node["guid"] = NewGuid();
  node["id"] = id;
  node["name"] = text::Utf16ToUtf8(folder.name);
  node["type"] = "folder";
  return node;
}

}  // namespace

bool ChromiumBookmarksBytes(std::string_view original, const BookmarkFolder& root, std::string& bytes,
                            std::u16string* problem) {
  std::u16string ignored;
  if (!problem) problem = &ignored;
  if (original.substr(0, 3) == "\xEF\xBB\xBF") original.remove_prefix(3);
  json::Value document;
  if (!ParseChromiumDocument(original, document, problem)) return false;

  Plan plan;
  PlanFolder(root, std::string(), -1, plan);
  std::map<std::string, json::Value*> byId;
  long long highestId = 0;
  for (json::Value* node : AllNodes(document)) {
    const std::string id = IdText(*node);
    byId.emplace(id, node);
    // Ids are counted up from the highest; absurd ones are not followed.
    const long long number = std::strtoll(id.c_str(), nullptr, 10);
    if (number < kHighestId) highestId = std::max(highestId, number);
  }
  json::Value& roots = document["roots"];
  bool fromHere = !plan.foreign && !plan.tops.empty();
  for (const std::string& top : plan.tops) {
    bool found = false;
    for (const json::Value& node : roots) found = found || (node.is_object() && IdText(node) == top);
    fromHere = fromHere && found;
  }
  if (!fromHere) {
    *problem = u"These bookmarks were not loaded from this file, so they cannot be saved into it in its own format.";
    return false;
  }

  // The addresses first, while every node is where it was.
  for (const auto& [id, url] : plan.fixes) {
    auto node = byId.find(id);
    if (node != byId.end()) (*node->second)["url"] = text::Utf16ToUtf8(url);
  }

  // Then the moves: copies of the moved nodes go into the new folders, the
  // nodes themselves leave their folders, and the new folders take their
  // places.
  const std::string now = BrowserNow();
  std::set<std::string> moved;
  std::vector<json::Value> made(plan.folders.size());
  std::vector<std::string> madeIds(plan.folders.size());
  for (std::size_t i = 0; i < plan.folders.size(); ++i) {
    if (!HoldsLinks(plan, i)) continue;
    madeIds[i] = std::to_string(++highestId);
    made[i] = FolderNode(plan.folders[i], madeIds[i], now);
    for (const std::string& id : plan.folders[i].links) {
      auto node = byId.find(id);
      if (node == byId.end() || moved.count(id)) continue;
      made[i]["children"].push_back(*node->second);
      moved.insert(id);
    }
  }
  // Children before their parents: rebuilding a parent's list moves its
  // children, so no node is visited after its parent.
  const std::vector<json::Value*> nodes = AllNodes(document);
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    json::Value* node = *it;
    auto children = node->find("children");
    if (children == node->end() || !children->is_array()) continue;
    // The browser marks only the folder a bookmark moves into as modified.
    json::Value kept = json::Value::array();
    for (json::Value& child : *children) {
      if (!(child.is_object() && moved.count(IdText(child)))) kept.push_back(std::move(child));
    }
    *children = std::move(kept);
  }
  // Inner new folders go into their parents before those are placed.
  for (std::size_t i = plan.folders.size(); i-- > 0;) {
    if (madeIds[i].empty() || plan.folders[i].parentNew < 0) continue;
    made[static_cast<std::size_t>(plan.folders[i].parentNew)]["children"].push_back(std::move(made[i]));
  }
  for (std::size_t i = 0; i < plan.folders.size(); ++i) {
    if (madeIds[i].empty() || plan.folders[i].parentNew >= 0) continue;
    // "Other bookmarks" holds what has no place of its own; a file without
    // it gets the new folder in its first root.
    json::Value* parent = nullptr;
    for (auto& [key, node] : roots.items()) {
      if (node.is_object() && (key == "other" || !parent)) parent = &node;
    }
    if (!plan.folders[i].parentId.empty()) {
      for (json::Value* node : AllNodes(document)) {
        if (IdText(*node) == plan.folders[i].parentId) parent = node;
      }
    }
    if (!parent->contains("children") || !(*parent)["children"].is_array()) (*parent)["children"] = json::Value::array();
    (*parent)["children"].push_back(std::move(made[i]));
    (*parent)["date_modified"] = now;
  }

  if (document.contains("checksum")) document["checksum"] = ChromiumChecksum(document);
  bytes = ChromiumDocumentText(document);
  return true;
}
