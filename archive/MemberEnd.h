// How a format ends a member once its data has been written. The steps are the same for every
// format (TUnBase::EndMember); what differs is in one small table per format, beside its
// method table.
#pragma once

namespace orvello::archive {

struct MemberEndRules {
    // OnEnd (failed) follows when the member's file could not be made.
    bool endWhenNotCreated;
    // The member is also reported skipped (26900) when its file could not be made.
    bool skippedWhenNotCreated;
    // After a decoder failure the check value is still compared and reported; otherwise the
    // member ends there, failed.
    bool checkAfterFailure;
    // OnEnd follows a failed check value; otherwise the error alone says it.
    bool endAfterBadCheck;
    // OnEnd follows a member whose file is not whole (a decoder failure, a failed close);
    // otherwise only a whole file gets its OnEnd.
    bool endWhenNotWhole;
    // A member whose decoding failed counts among those written (RecNum).
    bool countFailed;
    // A file that could not be made ends the whole call (a link in its place ends only the
    // member).
    bool stopWhenNotCreated;
    // A decoder failure that is not damage (the data gave its recorded size) goes to the
    // host's information box when no OnError handler listens.
    bool failureToHost;
};

}  // namespace orvello::archive
