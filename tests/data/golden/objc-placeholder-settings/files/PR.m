//
//  PR.m
//
//
//  Created by {import} on 2026/12/05.
//  Copyright © 2026年 {code} Ltd. All rights reserved.
//

#import <MJExtension/MJExtension.h>
#import "PR.h"

@implementation PR

+ (NSDictionary *)mj_objectClassInArray {
    return @{@"items": @"PItems"};
}

@end
