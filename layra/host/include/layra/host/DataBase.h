#pragma once
// A database of bosses, each with a UID, and the stored form of their
// persistent implementations.

#include <layra/IDataBase.h>
#include <layra/host/ObjectModel.h>
#include <layra/host/Result.h>

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace layra {

/** One object as it is stored: its class and the bytes of each persistent implementation. */
struct StoredObject {
  UID uid = kInvalidUID;
  ClassID classID;
  std::map<ImplementationID, std::vector<unsigned char>> data;
};

class LAYRA_API DataBase final : public IDataBase {
public:
  DataBase() = default;
  ~DataBase();
  DataBase(const DataBase&) = delete;
  DataBase& operator=(const DataBase&) = delete;

  IPMUnknown* Instantiate(UID uid, PMIID iid) const override;
  UID GetRootUID() const override { return fRoot; }
  UID NewUID(ClassID classID) override;
  void DeleteUID(UID uid) override;
  ClassID GetClass(UID uid) const override;
  bool IsModified() const override { return fModified; }
  const IDFile* GetSysFile() const override { return fFile.IsEmpty() ? nullptr : &fFile; }

  void SetRootUID(UID uid) { fRoot = uid; }
  void SetSysFile(const IDFile& file) { fFile = file; }
  void SetModified(bool modified) { fModified = modified; }
  /** The database now matches its file, just saved or loaded: unmodified, and again so when
   *  undo or redo brings it back to this state. */
  void MarkSaved();
  /** Creates an object under a given UID (when loading); refused when the class is unknown
   *  or the UID is taken. */
  Result<void> CreateWithUID(UID uid, ClassID classID);
  std::vector<UID> UIDs() const;

  /** Every object with the bytes of its persistent implementations, plus the data of
   *  implementations that no loaded plug-in provides (kept so that nothing is lost). */
  std::vector<StoredObject> Export() const;
  /** Loads stored objects. Objects of unknown classes are skipped; damaged data leave the
   *  implementation empty and fail the import, with the first problem met as the reason. */
  Result<void> Import(const std::vector<StoredObject>& objects);

private:
  void Changed();

  std::map<UID, Boss*> fObjects;         // in UID order, as they are saved
  std::unordered_map<UID, Boss*> fIndex; // the same, for lookups of one object
  std::map<UID, std::map<ImplementationID, std::vector<unsigned char>>> fOrphans;
  UID fRoot = kInvalidUID;
  UID fNextUID = 1;
  bool fModified = false;
  IDFile fFile;
};

} // namespace layra
