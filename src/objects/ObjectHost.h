#pragma once

#include <array>
#include <string>

class CFahrzeugTypDaten;
class DisplayListHolder;
class Md2Model;
class PhysXAccess;
class TextureHolder;
class VertexBufferHandler;

// What the objects of a battle, and its level, ask of the game they belong to: the physics world
// they move in and the registries they are made from; and, to be drawn, the view's textures, lists
// and buffers. The game session answers; a test may answer with a game of its own.
class ObjectHost {
  public:
    virtual ~ObjectHost() = default;

    // The world's.
    virtual PhysXAccess *getPhysXAccess() = 0;
    virtual Md2Model *getModell(const std::string &name) const = 0;        // null when absent
    virtual bool modelFileFailed(const std::string &name) const = 0;       // its reader said why
    virtual const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const = 0; // null: none

    // The view's. Every image by bare file name; the heights of a level's ground come from it too.
    virtual TextureHolder *getTextureHolder() = 0;
    virtual DisplayListHolder *getDisplayListHolder() = 0;
    virtual VertexBufferHandler *getVertexBufferHandler() const = 0; // null before a level start
    virtual void createList(unsigned int listId, Md2Model *model) = 0;
    virtual bool isDrawingDepthOnly() const = 0;  // the shadow pass: objects leave their textures off
    virtual float getViewBlend() const = 0;       // the frame's place between the last two ticks
    virtual std::array<float, 3> getCameraPos() const = 0; // the eye of the view being drawn
};
