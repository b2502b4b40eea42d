#include <layra/host/DataBase.h>

#include "../model/UndoHistory.h"

#include <cstdio>

namespace layra {

DataBase::~DataBase() {
  UndoHistory::Instance().Forget(this);
  for (auto& [uid, boss] : fObjects) {
    boss->SetPersistentHome(nullptr, kInvalidUID);
    boss->Release();
  }
}

IPMUnknown* DataBase::Instantiate(UID uid, PMIID iid) const {
  auto found = fIndex.find(uid);
  return found == fIndex.end() ? nullptr : found->second->QueryInterface(iid);
}

UID DataBase::NewUID(ClassID classID) {
  while (fObjects.count(fNextUID))
    ++fNextUID;
  if (!CreateWithUID(fNextUID, classID).ok())
    return kInvalidUID;
  Changed();
  return fNextUID++;
}

Result<void> DataBase::CreateWithUID(UID uid, ClassID classID) {
  if (uid == kInvalidUID)
    return Failure{"an object needs a valid UID"};
  if (fObjects.count(uid))
    return Failure{"UID " + std::to_string(uid) + " is taken"};
  Boss* boss = ObjectModel::Instance().CreateBoss(classID);
  if (!boss)
    return Failure{"class " + std::to_string(classID.Get()) + " is unknown"};
  boss->SetPersistentHome(this, uid);
  fObjects.emplace(uid, boss);
  fIndex.emplace(uid, boss);
  return {};
}

void DataBase::DeleteUID(UID uid) {
  auto found = fObjects.find(uid);
  if (found == fObjects.end())
    return;
  found->second->SetPersistentHome(nullptr, kInvalidUID);
  found->second->Release();
  fObjects.erase(found);
  fIndex.erase(uid);
  fOrphans.erase(uid);
  Changed();
}

// Objects come and go outside the snapshots of the undo history.
void DataBase::Changed() {
  fModified = true;
  UndoHistory::Instance().ChangedWithoutUndo(this);
}

void DataBase::MarkSaved() {
  fModified = false;
  UndoHistory::Instance().MarkSaved(this);
}

ClassID DataBase::GetClass(UID uid) const {
  auto found = fIndex.find(uid);
  return found == fIndex.end() ? kInvalidClass : found->second->GetClass();
}

std::vector<UID> DataBase::UIDs() const {
  std::vector<UID> uids;
  for (const auto& [uid, boss] : fObjects)
    uids.push_back(uid);
  return uids;
}

std::vector<StoredObject> DataBase::Export() const {
  std::vector<StoredObject> objects;
  for (const auto& [uid, boss] : fObjects) {
    StoredObject stored{uid, boss->GetClass(), {}};
    if (auto orphans = fOrphans.find(uid); orphans != fOrphans.end())
      stored.data = orphans->second;
    for (ImplementationID implementation : boss->PersistentImplementations())
      stored.data[implementation] = boss->Save(implementation);
    objects.push_back(std::move(stored));
  }
  return objects;
}

Result<void> DataBase::Import(const std::vector<StoredObject>& objects) {
  bool intact = true;
  std::string firstProblem; // a skipped object too, when it came first
  const auto problem = [&firstProblem](std::string text) {
    if (firstProblem.empty())
      firstProblem = std::move(text);
  };
  for (const StoredObject& stored : objects) {
    if (!fObjects.count(stored.uid) && !CreateWithUID(stored.uid, stored.classID)) {
      problem("object " + std::to_string(stored.uid) + " of unknown class " +
              std::to_string(stored.classID.Get()) + " was skipped");
      continue;
    }
    Boss* boss = fObjects.at(stored.uid);
    for (const auto& [implementation, bytes] : stored.data) {
      if (!boss->HasImplementation(implementation)) {
        fOrphans[stored.uid][implementation] = bytes;
        continue;
      }
      if (boss->Restore(implementation, bytes))
        continue;
      intact = false;
      char text[96];
      std::snprintf(text, sizeof text, "the data of implementation 0x%x of object %u are damaged",
                    implementation.Get(), stored.uid);
      problem(text);
    }
  }
  fModified = false;
  if (!intact)
    return Failure{firstProblem};
  return {};
}

} // namespace layra

IDataBase* GetDataBase(const IPMUnknown* object) {
  layra::Boss* boss = layra::BossOf(object);
  return boss ? boss->GetDataBase() : nullptr;
}

UID GetUID(const IPMUnknown* object) {
  layra::Boss* boss = layra::BossOf(object);
  return boss ? boss->GetUID() : kInvalidUID;
}

UIDRef GetUIDRef(const IPMUnknown* object) {
  return UIDRef(GetDataBase(object), GetUID(object));
}

IPMUnknown* UIDRef::Instantiate(PMIID iid) const {
  return fDataBase ? fDataBase->Instantiate(fUID, iid) : nullptr;
}
