// Stand-in for the mapping framework's header: only what generated code calls.
#import <Foundation/Foundation.h>

@interface NSObject (MJExtensionStandIn)
+ (NSDictionary*)mj_objectClassInArray;
@end
