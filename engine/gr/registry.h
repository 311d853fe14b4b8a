// The sprite registry's inner side: the table of live sprite objects and the set-up of a sprite
// loaded by name, shared by the display (back buffer, shut-down) and the font loader.
#pragma once

#include "engine/gr/sprite.h"

// The table is an array of object pointers, made with room for 500 at the first entry and grown
// by half when full. Removing an entry leaves a null hole that the next entry fills; indices
// never move. Main thread only.

// Puts the object into the first hole, or appends it, filed under the registry name it holds
// then (grSpriteSetup and grCreateSprite file it again under the name they give it; a name
// written into an entry by other hands later is not seen by grRegistryFind). False when memory
// runs out.
bool grRegistryAdd(CSpriteExt* sprite);
void grRegistryRemove(CSpriteExt* sprite);
// The first entry whose registry name matches (A-Z without case, '/' equal to '\'); null when
// none does.
CSpriteExt* grRegistryFind(const char* name);
// Entries so far, holes included, and one of them (null for a hole or an index out of range).
int grRegistrySize();
CSpriteExt* grRegistryAt(int index);
// Live entries.
int grRegistryCount();
// Forgets every entry (the objects are not touched) and keeps the storage.
void grRegistryClear();

// Registers a new object under registryName and loads its pixels from file, with alphaFile as the
// separate alpha image; a null or empty alphaFile derives "<dir>/_<name>.tga" (or "_<name>.tga"
// without a directory). False, with a log line and nothing registered, when a name does not fit
// the sprite's fields; the caller still owns the object then.
bool grSpriteSetup(CSpriteExt* sprite, const char* registryName, const char* file,
                   const char* alphaFile);
// The alpha file name derived from an image file name into out (size bytes); false when it
// does not fit or the name has no file part.
bool grAlphaFileName(const char* file, char* out, int size);
