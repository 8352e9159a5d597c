// BodyStore: where every body's state lives, eight bodies to a block with
// each field of the eight side by side, so the step reads and writes a field
// of eight bodies as one vector. Each Physical takes a place (a block and a
// lane in it) when it is built and gives it back when it is deleted; it
// keeps it whether or not it is registered with the engine, and its getters
// and setters reach their state there. Blocks never move in memory, so a
// body's place stays valid as more bodies are built.
#pragma once

#include "world/GroundGrid.h"

#include <cstdint>
#include <memory>
#include <vector>

struct PhysicsEntry;

class BodyStore {
public:
    static constexpr int kLanes = 8;

    struct alignas(32) Block {
        float positionX[kLanes] = {};
        float positionY[kLanes] = {};
        float positionZ[kLanes] = {};
        float velocityX[kLanes] = {};
        float velocityY[kLanes] = {};
        float velocityZ[kLanes] = {};
        float destinationX[kLanes] = {};
        float destinationY[kLanes] = {};
        float destinationZ[kLanes] = {};
        float mass[kLanes] = {};
        float radius[kLanes] = {};
        float dragCoefficient[kLanes] = {};
        float frictionCoefficient[kLanes] = {};
        float gravity[kLanes] = {};
        float driveForce[kLanes] = {};
        float driveFalloff[kLanes] = {};
        float heading[kLanes] = {};
        float turnRate[kLanes] = {};
        float spinRate[kLanes] = {};
        float spinAxisX[kLanes] = {};
        float spinAxisY[kLanes] = {};
        float spinAxisZ[kLanes] = {};
        // The impulse gathered since the last step, while registered.
        float forceX[kLanes] = {};
        float forceY[kLanes] = {};
        float forceZ[kLanes] = {};
        // The ground's height under (groundX, groundZ), where the last step
        // left the body; groundX is NaN while that is not known.
        float groundX[kLanes] = {};
        float groundZ[kLanes] = {};
        float groundHeight[kLanes] = {};
        // What the last step left for its collision pass, written a block at
        // a time: where each body started and ended (the pass moves the end
        // back), the key it is sorted by, the box it swept through, and its
        // radius and movable switch as the step found them (game code the
        // pass calls may change the body's own). In the order the pass reads
        // them, so a pair test reads few lines of the block.
        float previousX[kLanes] = {};
        float previousY[kLanes] = {};
        float previousZ[kLanes] = {};
        float stepX[kLanes] = {};
        float stepY[kLanes] = {};
        float stepZ[kLanes] = {};
        float stepRadius[kLanes] = {};
        std::int32_t stepMovable[kLanes] = {};
        float boxMinX[kLanes] = {};
        float boxMaxX[kLanes] = {};
        float boxMinZ[kLanes] = {};
        float boxMaxZ[kLanes] = {};
        // No wall can stop the body in the step (PhysicsMath.h InsideWalls).
        std::int32_t clearOfWalls[kLanes] = {};
        float sortKey[kLanes] = {};
        // The events some callback of the body waits for, as its entry keeps
        // them (Physics.h), so the step finds the bodies it has events to
        // raise for without visiting each.
        std::uint32_t awaitedEvents[kLanes] = {};
        // Switches: -1 on, 0 off, so eight read as one mask.
        std::int32_t movable[kLanes] = {};
        std::int32_t steering[kLanes] = {};
        std::int32_t gravityEnabled[kLanes] = {};
        std::int32_t dragEnabled[kLanes] = {};
        std::int32_t frictionEnabled[kLanes] = {};
        std::int32_t arrived[kLanes] = {};
        // The body has a live entry in the engine, which the step moves.
        std::int32_t registered[kLanes] = {};
        // Read one body at a time.
        std::int32_t collisionType[kLanes] = {};
        bool collides[kLanes] = {};
        bool collisionResponse[kLanes] = {};
        PhysicsEntry* entry[kLanes] = {};
        // The lanes some body holds, one bit each.
        std::uint32_t used = 0;
        // The ground's corners around where the last step asked of each
        // lane, whether of the body there now or of one before it: they
        // belong to the grid's cells, not the bodies.
        GroundGrid::Corners8 groundCorners;
    };

    struct Place {
        Block* block = nullptr;
        std::uint32_t lane = 0;
    };

    // A free place, its fields as a new block has them.
    Place Take();
    void Give(const Place& place);

    std::size_t GetBlockCount() const { return blocks_.size(); }
    Block& GetBlock(std::size_t index) { return *blocks_[index]; }

private:
    std::vector<std::unique_ptr<Block>> blocks_;
    // Places given back, taken again first.
    std::vector<Place> free_;
};
