#include "app/namelists.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"

void readNameLists(qdc::FileSource& files, NameLists& lists) {
    qdc::readMonsterNames(files, lists.monsters);
    qdc::readItemNames(files, lists.items);
    qdc::readBaseSetNames(files, lists.baseSets);
    qdc::readUniqueNames(files, lists.uniques);
    qdc::readSetMembers(files, lists.setMembers);
}
