// The shop's scaled preview of the hotel.
#include "screens/mini_level.h"

#include "core/strings.h"
#include "screens/between.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/level_object.h"

MiniLevel::MiniLevel(int x, int y, float sx, float sy) {
    linkWorldToProfile();
    char path[512];
    int episode = gCurrentProfile ? gCurrentProfile->GetEpisode() : 0;
    formatString(path, sizeof path, "Data/Episodes/e%d/map.ini", episode);
    background_ = new cLevelObj();
    background_->Load(path, "Background");
    if (gCurrentProfile) gCurrentProfile->CopyObjectMap(records_);
    for (ObjectItemMap::Iterator it = records_.Begin(); !it.AtEnd(); it.Next()) {
        const RCPtr<cObjectItem>& record = it.Node()->value;
        if (!record) continue;
        cLevelObj* object = createLevelObject(record->section.c_str(), nullptr);
        if (!object) continue;
        object->SetBreakable(false);
        objects_.Set(it.Node()->key, object);
    }
    list_ = new DrawList();
    list_->offset = Point2i(x, y);
    list_->scale = Vec2f(sx, sy);
}

MiniLevel::~MiniLevel() {
    delete background_;
    for (cStrMap<cLevelObj*>::Iterator it = objects_.Begin(); !it.AtEnd(); it.Next())
        delete it.Node()->value;
    delete list_;
    objects_.clear();
    records_.clear();
}

void MiniLevel::Update(int ms) {
    background_->Update(ms);
    for (cStrMap<cLevelObj*>::Iterator it = objects_.Begin(); !it.AtEnd(); it.Next())
        it.Node()->value->Update(ms);
}

void MiniLevel::Draw() {
    background_->AddToDrawList(list_);
    for (cStrMap<cLevelObj*>::Iterator it = objects_.Begin(); !it.AtEnd(); it.Next())
        it.Node()->value->AddToDrawList(list_);
    list_->Flush();
}

void MiniLevel::AddToDraw(cBaseObj* object) {
    if (object) object->AddToDrawList(list_);
}

void MiniLevel::HideObject(const char* name) {
    cLevelObj* object = Object(name);
    if (object) object->Hide();
}

void MiniLevel::ShowAll() {
    for (cStrMap<cLevelObj*>::Iterator it = objects_.Begin(); !it.AtEnd(); it.Next())
        it.Node()->value->Show();
}

void MiniLevel::AddObject(const RCPtr<cObjectItem>& record) {
    if (!record || record->name.length() == 0) return;
    RCPtr<cObjectItem>* held = records_.FindValue(record->name);
    if (held && *held && (*held)->grade >= record->grade) return;
    records_.Set(record->name, record);
    cLevelObj* object = createLevelObject(record->section.c_str(), nullptr);
    if (!object) return;
    cLevelObj** old = objects_.FindValue(record->name);
    if (old) delete *old;
    objects_.Set(record->name, object);
}

cLevelObj* MiniLevel::Object(const char* name) const {
    if (!name || !*name) return nullptr;
    cLevelObj** found = objects_.FindValue(CString(name));
    return found ? *found : nullptr;
}

const cObjectItem* MiniLevel::Record(const char* name) const {
    if (!name || !*name) return nullptr;
    RCPtr<cObjectItem>* found = records_.FindValue(CString(name));
    return found ? found->get() : nullptr;
}
