#pragma once

#include "FakeSerialLink.h"
#include "TestDatabase.h"

#include "ChannelStore.h"
#include "TransferController.h"
#include "TransferSequence.h"

// A channel file, its store, a fake port and the controller that loads from
// them, its timer ticked by hand.
struct TransferRig
{
    explicit TransferRig(const QVector<QVariantList> &rows) : file(rows)
    {
        store.open(file.path());
        port.open();
    }
    TransferSequence *sequence() { return sequenceOf(&controller); }
    // Ticks of Timer1 by hand: the real timer is moved out of the way first.
    void ticks(int n) { tick(&controller, n); }

    static TransferSequence *sequenceOf(TransferController *controller)
    {
        return controller->findChild<TransferSequence *>();
    }
    static void tick(TransferController *controller, int n)
    {
        TransferSequence *sequence = sequenceOf(controller);
        if (sequence->isRunning())
            sequence->timer()->start(1000000);
        for (int i = 0; i < n; ++i)
            sequence->tick();
    }

    TestDatabase file;
    ChannelStore store;
    FakeSerialLink port;
    TransferController controller{ &store, &port };
};
