// The player profile: reading and writing the current player's progress, items and settings.
//
// The values of way point i are stored under group "level<i>". Money and the counters are written
// as unsigned decimals and read back over their whole range, and lists are written and read
// whole, so whatever the profile holds comes back unchanged.
#include "game/profile.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/snd/snd.h"
#include "game/game_data.h"

cPlayerProfile* gCurrentProfile = nullptr;

static void (*gFinishedGameHook)(const char16_t* name, uint64_t total) = nullptr;

void SetFinishedGameHook(void (*hook)(const char16_t* name, uint64_t total)) {
    gFinishedGameHook = hook;
}

namespace {

const int kStoredRange = 1048575;
const int kDisplayName = 13;

struct LevelGroup {
    explicit LevelGroup(long i) { formatString(text, sizeof text, "level%ld", i); }
    char text[32];
};

// Every group of keys that must reach the disk together is written through here: one save of
// the file, so that a crash keeps either the whole group or none of it.
template <class Writes>
void writeTogether(Writes writes) {
    IniSaveScope scope;
    writes();
}

int readInt(const char* group, const char* key, int min, int max, int def) {
    int value = def;
    profileGetInt(group, key, &value, min, max, def);
    return value;
}

// An amount written by writeCount: 0 when it is missing or not a plain unsigned decimal.
uint32_t readCount(const char* group, const char* key) {
    char text[32] = "";
    profileGetString(group, key, text, sizeof text);
    if (text[0] < '0' || text[0] > '9') return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long n = strtoull(text, &end, 10);
    if (errno || *end || n > UINT32_MAX) return 0;
    return static_cast<uint32_t>(n);
}

void writeCount(const char* group, const char* key, uint32_t n) {
    char text[16];
    formatString(text, sizeof text, "%u", n);
    profileSetString(group, key, text);
}

float readSkillPoints(const char* group) {
    float value = 0;
    profileGetFloat(group, "skillpts", &value, 0.0f, FLT_MAX, 0.0f);
    return value;
}

// A stored list, however long: the buffer grows until the value fits.
std::string readList(const char* group, const char* key) {
    std::vector<char> buffer(4096);
    for (;;) {
        buffer[0] = '\0';
        profileGetString(group, key, buffer.data(), static_cast<int>(buffer.size()));
        if (strlen(buffer.data()) + 1 < buffer.size()) return buffer.data();
        buffer.resize(buffer.size() * 2);
    }
}

void writeList(const char* group, const char* key, const std::string& list) {
    profileSetString(group, key, list.c_str());
}

TokenList splitList(const std::string& list) { return TokenList::Split(list.c_str(), ','); }

void appendEntry(std::string& list, const char* entry) {
    if (!list.empty()) list += ", ";
    list += entry;
}

int nonNegative(int n) { return n < 0 ? 0 : n; }

// Amounts are never spent past what is held, nor added past what they can hold.
bool spendFrom(uint32_t& held, uint32_t n) {
    if (n > held) return false;
    held -= n;
    return true;
}

bool addTo(uint32_t& held, uint32_t n) {
    if (held + n < held) return false;
    held += n;
    return true;
}

// The item name of a shop list entry: the part before its first ':'.
std::string specName(const char* spec) {
    std::string s = spec;
    return s.substr(0, s.find(':'));
}

// The price, in the episode's shop, of the items a list names.
uint64_t listValue(const TokenList& list, int32_t episode) {
    char file[64];
    formatString(file, sizeof file, "Data/Menu/UIShop/items/e%d/items.ini", episode);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        int price = iniGetInt(file, specName(list.At(i)).c_str(), "price.cash", 0);
        sum += static_cast<uint64_t>(nonNegative(price));
    }
    return sum;
}

}  // namespace

cShopItem::~cShopItem() {
    // Objects may outlive their item in the profile's best-grade map.
    for (ObjectItemMap::Iterator it = objects.Begin(); !it.AtEnd(); it.Next()) {
        cObjectItem* object = it.Node()->value.get();
        if (object && object->owner == this) object->owner = nullptr;
    }
}

cPlayerProfile::cPlayerProfile() {
    objectsIni_[0] = shopItemsIni_[0] = levelsIni_[0] = '\0';
}

cPlayerProfile::~cPlayerProfile() {
    for (cStrMap<cShopItem*>::Iterator it = shopItems_.Begin(); !it.AtEnd(); it.Next())
        delete it.Node()->value;
}

cPlayerProfile* cPlayerProfile::Current() { return gCurrentProfile; }

bool SelectPlayer(const char* name) {
    if (!profileFind(name)) return false;
    std::string held = name;  // the name may live in the profile deleted here
    ReleasePlayer();
    gCurrentProfile = new cPlayerProfile;
    gCurrentProfile->Load(held.c_str());
    return true;
}

void CreatePlayer(const char* name, const char16_t* displayName) {
    if (!name || !*name || !displayName || !*displayName) return;
    // The old player's removal and every key of the new one reach the disk in one save: a kill
    // at any moment leaves either the old file or the new player whole.
    IniSaveScope together;
    profileDelete(name);
    profileSelect(name);
    profileSetWide("player", "name", displayName);
    if (SelectPlayer(name)) gCurrentProfile->Save();
}

void ReleasePlayer() {
    delete gCurrentProfile;
    gCurrentProfile = nullptr;
}

int CountExpertLevels() {
    if (!gCurrentProfile) return 0;
    int n = 0;
    for (uint32_t i = 0; i < gWayPoints.size(); ++i)
        if (gWayPoints[i].GetKind() == cMapWayPoint::kLevel && gWayPoints[i].GetResult() == 3) ++n;
    return n;
}

void cPlayerProfile::Load(const char* name) {
    if (!name || !*name) return;
    name_ = name;
    profileSelect(name_.c_str());

    char16_t display[kDisplayName + 1] = u"";
    profileGetWide("player", "name", display, kDisplayName + 1);
    displayName_ = display;

    Point2i prev(0, 0);
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        LevelGroup g(i);
        int result = readInt(g.text, "result", 0, 3, 0);
        gWayPoints[i].LoadResult(result);
        int fresh = readInt(g.text, "new_level", -kStoredRange, kStoredRange, 0);
        Point2i cur(static_cast<int32_t>(readCount(g.text, "cash")),
                    static_cast<int32_t>(readSkillPoints(g.text)));
        gWayPoints[i].SetStartValues(result || fresh ? prev : cur);
        prev = cur;
    }

    int last = static_cast<int>(gWayPoints.size()) - 1;
    level_ = static_cast<uint32_t>(readInt("current", "level", 0, last, 0));
    SetEpisodePaths();

    long k = statsIndex();

    TokenList base = TokenList::Split(iniGetString(objectsIni_, "Main", "objects", ""), ',');
    for (uint32_t i = 0; i < base.Count(); ++i) InsertObjectItem(MakeObjectItem(base.At(i)));

    readStats(k);

    TokenList home = splitList(readList("home", "items"));
    for (uint32_t i = 0; i < home.Count(); ++i) AddHomeItem(home.At(i));

    soundVolume_ = 1.0f;
    musicVolume_ = 1.0f;
    profileGetFloat("cfg", "sound_volume", &soundVolume_, 0.0f, 1.0f, 1.0f);
    profileGetFloat("cfg", "music_volume", &musicVolume_, 0.0f, 1.0f, 1.0f);
    sndSetGroupVolume(soundVolume_, 0);
    sndSetGroupVolume(musicVolume_, 1);
    fullScreen_ = readInt("cfg", "fullscreen", -kStoredRange, kStoredRange, 0) != 0;
    tutorialOn_ = readInt("cfg", "tutorial_on", 0, 1, 1) != 0;
}

// Skill points, rooms and school items always carry over; money, popularity, clients served and
// shop items only inside an episode.
void cPlayerProfile::readStats(int k) {
    LevelGroup g(k);
    skillPoints_ = readSkillPoints(g.text);
    roomsUpgraded_ = readCount(g.text, "roomsUpgraded");
    if (!IsEpisodeStart(level_)) {
        clientsServed_ = readCount(g.text, "clientsServed");
        cash_ = readCount(g.text, "cash");
        popularity_ = readCount(g.text, "popularity");
        TokenList shop = splitList(readList(g.text, "shopitems"));
        for (uint32_t i = 0; i < shop.Count(); ++i) AddShopItem(shop.At(i));
    }
    TokenList school = splitList(readList(g.text, "schoolitems"));
    for (uint32_t i = 0; i < school.Count(); ++i) {
        for (uint32_t j = 0; j < gSchoolItems.size(); ++j) {
            if (strcmp(gSchoolItems[j]->name.c_str(), school.At(i)) != 0) continue;
            AddSchoolItem(gSchoolItems[j]);
            break;
        }
    }
}

void cPlayerProfile::Save() {
    writeTogether([this] { saveKeys(); });
}

// The stats come from the way point at which the profile was last saved: the one before a
// replayed or a fresh way point.
long cPlayerProfile::statsIndex() const {
    long k = level_;
    if (GetCurrentLevelResult()) --k;
    if (readInt(LevelGroup(k).text, "new_level", -kStoredRange, kStoredRange, 0)) --k;
    return k;
}

void cPlayerProfile::SavePurchase() {
    writeTogether([this] { savePurchaseKeys(); });
}

// A replayed way point keeps the values it ended with, and Load reads the ones before it: a
// purchase made there goes where Load finds it, so it is neither lost nor written over the
// level's result.
void cPlayerProfile::savePurchaseKeys() {
    profileSelect(name_.c_str());
    if (!GetCurrentLevelResult()) {
        saveKeys();
        return;
    }
    LevelGroup g(statsIndex());
    writeList(g.text, "shopitems", shopList());
    writeList(g.text, "schoolitems", schoolList());
    writeCount(g.text, "cash", cash_);
    writeCount(g.text, "popularity", popularity_);
    profileSetFloat(g.text, "skillpts", skillPoints_);
}

void cPlayerProfile::saveKeys() {
    profileSelect(name_.c_str());
    LevelGroup g(level_);
    profileSetInt(g.text, "new_level", 0);
    writeList(g.text, "shopitems", shopList());
    writeList(g.text, "schoolitems", schoolList());
    writeList("home", "items", homeList());
    writeCount(g.text, "cash", cash_);
    writeCount(g.text, "clientsServed", clientsServed_);
    writeCount(g.text, "roomsUpgraded", roomsUpgraded_);
    profileSetFloat(g.text, "skillpts", skillPoints_);
    writeCount(g.text, "popularity", popularity_);
    profileSetInt("current", "level", static_cast<int>(level_));
    for (uint32_t i = 0; i <= level_ && i < gWayPoints.size(); ++i)
        profileSetInt(LevelGroup(i).text, "result", gWayPoints[i].GetResult());
    profileSetFloat("cfg", "sound_volume", soundVolume_);
    profileSetFloat("cfg", "music_volume", musicVolume_);
    profileSetInt("cfg", "fullscreen", fullScreen_ ? 1 : 0);
    profileSetInt("cfg", "tutorial_on", tutorialOn_ ? 1 : 0);
}

int32_t cPlayerProfile::GetEpisode() const {
    return level_ < gWayPoints.size() ? gWayPoints[level_].GetEpisode() : 0;
}

int cPlayerProfile::CountEpisodeLevels(uint32_t n) const {
    int32_t episode = GetEpisode();
    int count = 0;
    for (uint32_t i = 0; i <= n && i < gWayPoints.size(); ++i) {
        const cMapWayPoint& p = gWayPoints[i];
        if (p.GetEpisode() == episode && p.GetKind() != cMapWayPoint::kMiniGame) ++count;
    }
    return count;
}

void cPlayerProfile::SetEpisodePaths() {
    int episode = GetEpisode();
    formatString(objectsIni_, sizeof objectsIni_, "Data/Episodes/e%d/objects.ini", episode);
    formatString(shopItemsIni_, sizeof shopItemsIni_, "Data/Menu/UIShop/items/e%d/items.ini",
                 episode);
    formatString(levelsIni_, sizeof levelsIni_, "Data/Episodes/e%d/levels.ini", episode);
}

int32_t cPlayerProfile::GetCurrentLevelResult() const {
    return level_ < gWayPoints.size() ? gWayPoints[level_].GetResult() : 0;
}

void cPlayerProfile::SetLevel(uint32_t n) {
    if (gCurrentProfile != this || n >= gWayPoints.size()) return;
    profileSelect(name_.c_str());
    writeTogether([n] { profileSetInt("current", "level", static_cast<int>(n)); });
    reload();
}

// Deletes this profile and reads the player again at the stored current way point.
void cPlayerProfile::reload() {
    std::string name = name_.c_str();
    ReleasePlayer();
    SelectPlayer(name.c_str());
}

void cPlayerProfile::GoToLevel(uint32_t n) {
    if (gCurrentProfile != this) return;
    uint32_t count = gWayPoints.size();
    bool save = n > level_;
    bool finished = n >= count;
    // The profile is read again below: the score table gets copies of the name and the total.
    std::u16string finisher;
    uint64_t total = 0;
    if (finished) {
        gGameFinished = true;
        finisher = displayName_;
        total = ComputeTotalScore();
        if (count == 0) {
            if (save) Save();
            return;
        }
        n = count - 1;
    }
    // The finished way point, the markers of the next one and the move form one group: a crash
    // between them would reload the player at the old way point without its money.
    writeTogether([&] {
        if (save) saveKeys();
        profileSelect(name_.c_str());
        if (!finished) {
            profileSetInt(LevelGroup(n).text, "pop_to_add", 0);
            profileSetInt(LevelGroup(n).text, "new_level", gWayPoints[n].GetResult() == 0 ? 1 : 0);
            profileSetInt(LevelGroup(level_).text, "pop_to_add", 0);
        }
        profileSetInt("current", "level", static_cast<int>(n));
    });
    reload();
    if (finished && gFinishedGameHook) gFinishedGameHook(finisher.c_str(), total);
}

uint64_t cPlayerProfile::ComputeTotalScore() {
    profileSelect(name_.c_str());
    cArray<uint32_t> ends = EpisodeEnds();
    int32_t lastEpisode =
        ends.size() ? gWayPoints[ends[ends.size() - 1]].GetEpisode() : GetEpisode();
    uint64_t total = 0;
    // Every episode before the last counts what it was left with at its final way point.
    for (uint32_t e = 0; e + 1 < ends.size(); ++e) {
        LevelGroup g(ends[e]);
        total += readCount(g.text, "cash");
        total += listValue(splitList(readList(g.text, "shopitems")),
                           gWayPoints[ends[e]].GetEpisode());
    }
    return total + cash_ + listValue(GetShopItemList(), lastEpisode);
}

bool cPlayerProfile::SpendCash(uint32_t n) { return spendFrom(cash_, n); }
bool cPlayerProfile::AddCash(uint32_t n) { return addTo(cash_, n); }
bool cPlayerProfile::SpendPopularity(uint32_t n) { return spendFrom(popularity_, n); }
bool cPlayerProfile::AddPopularity(uint32_t n) { return addTo(popularity_, n); }

bool cPlayerProfile::SpendSkillPoints(float f) {
    if (f > skillPoints_) return false;
    skillPoints_ -= f;
    return true;
}

void cPlayerProfile::SaveVolumes() {
    profileSelect(name_.c_str());
    writeTogether([this] {
        profileSetFloat("cfg", "sound_volume", soundVolume_);
        profileSetFloat("cfg", "music_volume", musicVolume_);
    });
}

void cPlayerProfile::SetTutorialOn(bool on) {
    tutorialOn_ = on;
    profileSelect(name_.c_str());
    profileSetInt("cfg", "tutorial_on", on ? 1 : 0);
}

std::string cPlayerProfile::shopList() const {
    std::string list;
    for (cStrMap<cShopItem*>::Iterator it = shopItems_.Begin(); !it.AtEnd(); it.Next()) {
        const cShopItem* item = it.Node()->value;
        std::string entry = item->name.c_str();
        if (strcmp(item->type.c_str(), "room") == 0) {
            for (ObjectItemMap::Iterator o = item->objects.Begin(); !o.AtEnd(); o.Next())
                entry += std::string(":") + o.Node()->value->name.c_str();
        }
        appendEntry(list, entry.c_str());
    }
    return list;
}

std::string cPlayerProfile::schoolList() const {
    std::string list;
    for (cStrMap<cSchoolItem*>::Iterator it = schoolItems_.Begin(); !it.AtEnd(); it.Next())
        appendEntry(list, it.Node()->value->name.c_str());
    return list;
}

std::string cPlayerProfile::homeList() const {
    std::string list;
    for (cStrMap<uint8_t>::Iterator it = homeItems_.Begin(); !it.AtEnd(); it.Next())
        appendEntry(list, it.Node()->key.c_str());
    return list;
}

bool cPlayerProfile::AddShopItem(const char* spec) {
    if (!spec || !*spec || shopItems_.FindValue(spec)) return false;
    TokenList parts = TokenList::Split(spec, ':');
    if (parts.IsEmpty()) return false;
    const char* section = parts.At(0);
    auto* item = new cShopItem;
    const char* file = shopItemsIni_;
    auto integer = [&](const char* key) { return nonNegative(iniGetInt(file, section, key, 0)); };
    item->name = section;
    item->type = iniGetString(file, section, "type", "");
    bool room = strcmp(item->type.c_str(), "room") == 0;
    if (room && parts.Count() < 2) {
        delete item;
        return false;
    }
    item->bonusClients = integer("bonus.clients");
    item->bonusPopularity = integer("bonus.popularity");
    item->allRequests = integer("bonus.all_requests") != 0;
    item->bonusWaitTime = integer("bonus.wait_time");
    item->bonusService = integer("bonus.service");
    item->grade = integer("grade");
    item->disposeObjects =
        TokenList::Split(iniGetString(file, section, "dispose_objects", ""), ',');

    auto take = [&](const RCPtr<cObjectItem>& object) {
        if (!object) return;
        object->owner = item;
        item->objects.Set(object->name, object);
        InsertObjectItem(object);
    };
    if (room) {
        RCPtr<cObjectItem> object = MakeObjectItem(parts.At(1));
        if (object) object->grade = item->grade;
        take(object);
    } else {
        TokenList objects = TokenList::Split(iniGetString(file, section, "objects", ""), ',');
        if (objects.IsEmpty()) {
            delete item;
            return false;
        }
        for (uint32_t i = 0; i < objects.Count(); ++i) take(MakeObjectItem(objects.At(i)));
    }

    bonusClients_ += static_cast<uint32_t>(item->bonusClients);
    putShopItem(item);
    for (ObjectItemMap::Iterator it = item->objects.Begin(); !it.AtEnd(); it.Next())
        InsertObjectItem(it.Node()->value);
    return true;
}

// A later record of the same name replaces the one held.
void cPlayerProfile::putShopItem(cShopItem* item) {
    cShopItem** held = shopItems_.FindValue(item->name);
    if (held) {
        delete *held;
        *held = item;
    } else {
        shopItems_.Set(item->name, item);
    }
}

cShopItem* cPlayerProfile::FindShopItem(const char* name) const {
    cShopItem** item = name ? shopItems_.FindValue(name) : nullptr;
    return item ? *item : nullptr;
}

int cPlayerProfile::GetShopItemsOfType(cShopItem** out, int max, const char* type) const {
    if (!out || max <= 0) return 0;
    int n = 0;
    for (cStrMap<cShopItem*>::Iterator it = shopItems_.Begin(); !it.AtEnd() && n < max; it.Next()) {
        cShopItem* item = it.Node()->value;
        if (!type || strcmp(item->type.c_str(), type) == 0) out[n++] = item;
    }
    return n;
}

void cPlayerProfile::GetAllShopItems(cArray<cShopItem*>& out) const {
    out.clear();
    for (cStrMap<cShopItem*>::Iterator it = shopItems_.Begin(); !it.AtEnd(); it.Next())
        out.push_back(it.Node()->value);
}

TokenList cPlayerProfile::GetShopItemList() const { return splitList(shopList()); }

TokenList cPlayerProfile::ReadStoredShopItems(uint32_t i) {
    profileSelect(name_.c_str());
    return splitList(readList(LevelGroup(i).text, "shopitems"));
}

void cPlayerProfile::AddItemPopToLevel(const char* spec) {
    if (!spec || !*spec) return;
    writeTogether([&] {
        LevelGroup g(level_);
        profileSelect(name_.c_str());
        int pop = readInt(g.text, "pop_to_add", -kStoredRange, kStoredRange, 0);
        const cShopItem* item = FindShopItem(specName(spec).c_str());
        if (item) pop += item->bonusPopularity;
        profileSetInt(g.text, "pop_to_add", pop);
        savePurchaseKeys();
    });
}

void cPlayerProfile::AddPopToAdd() {
    profileSelect(name_.c_str());
    int pop = readInt(LevelGroup(level_).text, "pop_to_add", -kStoredRange, kStoredRange, 0);
    // A damaged negative value takes at most what is held; a sum past the limit stops there.
    int64_t sum = static_cast<int64_t>(popularity_) + pop;
    popularity_ = static_cast<uint32_t>(sum < 0 ? 0 : sum > UINT32_MAX ? UINT32_MAX : sum);
}

RCPtr<cObjectItem> cPlayerProfile::MakeObjectItem(const char* section) const {
    RCPtr<cObjectItem> made;
    if (!section || !*section) return made;
    CString type = iniGetString(objectsIni_, section, "type", "");
    bool room = strcmp(type.c_str(), "room") == 0;
    CString name = room ? section : iniGetString(objectsIni_, section, "name", "");
    if (name.length() == 0) return made;
    auto* object = new cObjectItem;
    object->section = section;
    object->type = type;
    object->name = name;
    object->grade = nonNegative(iniGetInt(objectsIni_, section, "grade", 0));
    object->replaceCost = nonNegative(iniGetInt(objectsIni_, section, "replace_cost", 0));
    made.Reset(object);
    return made;
}

bool cPlayerProfile::InsertObjectItem(const RCPtr<cObjectItem>& object) {
    if (!object || object->name.length() == 0) return false;
    RCPtr<cObjectItem>* held = objectItems_.FindValue(object->name);
    if (held && (*held)->grade >= object->grade) return false;
    objectItems_.Set(object->name, object);
    return true;
}

void cPlayerProfile::RemoveObjectItem(const char* name) {
    if (name) objectItems_.Erase(name);
}

void cPlayerProfile::CopyObjectMap(ObjectItemMap& out) const {
    out.clear();
    for (ObjectItemMap::Iterator it = objectItems_.Begin(); !it.AtEnd(); it.Next())
        out.Set(it.Node()->key, it.Node()->value);
}

void cPlayerProfile::GetObjectItemsOfType(cArray<RCPtr<cObjectItem>>& out,
                                          const char* type) const {
    out.clear();
    if (!type) return;
    for (ObjectItemMap::Iterator it = objectItems_.Begin(); !it.AtEnd(); it.Next())
        if (strcmp(it.Node()->value->type.c_str(), type) == 0) out.push_back(it.Node()->value);
}

void cPlayerProfile::GetObjectItems(cArray<RCPtr<cObjectItem>>& out) const {
    out.clear();
    for (ObjectItemMap::Iterator it = objectItems_.Begin(); !it.AtEnd(); it.Next())
        out.push_back(it.Node()->value);
}

bool cPlayerProfile::AddSchoolItem(cSchoolItem* item) {
    if (!item || item->name.length() == 0) return false;
    schoolItems_.Set(item->type, item);
    for (uint32_t i = 0; i < item->grants.size(); ++i)
        InsertObjectItem(MakeObjectItem(item->grants[i].section.c_str()));
    return true;
}

cSchoolItem* cPlayerProfile::FindSchoolItem(const char* type) const {
    cSchoolItem** item = type ? schoolItems_.FindValue(type) : nullptr;
    return item ? *item : nullptr;
}

void cPlayerProfile::GetSchoolItems(cArray<cSchoolItem*>& out) const {
    out.clear();
    for (cStrMap<cSchoolItem*>::Iterator it = schoolItems_.Begin(); !it.AtEnd(); it.Next())
        out.push_back(it.Node()->value);
}

void cPlayerProfile::AddHomeItem(const char* name) {
    if (name && *name) homeItems_.Set(name, 0);
}

bool cPlayerProfile::FindHomeItem(const char* name) const {
    return name && homeItems_.FindValue(name) != nullptr;
}

void cPlayerProfile::SaveHomeItems() {
    profileSelect(name_.c_str());
    std::string list = homeList();
    writeTogether([&] { writeList("home", "items", list); });
}
