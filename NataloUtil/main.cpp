// The reminder utility NataloUtil: started by the notification service when a
// reminder is due (and without arguments to recalculate the reminders).
#include "NataloUtil/UtilProgram.h"

int main(int argc, char** argv) { return RunNataloUtil(argc, argv); }
