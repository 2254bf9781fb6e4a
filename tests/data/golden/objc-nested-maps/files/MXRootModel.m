//
//  MXRootModel.m
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <MJExtension/MJExtension.h>
#import "MXRootModel.h"

@implementation MXRootModel

+ (NSDictionary *)mj_objectClassInArray {
    return @{@"b": @"MXB"};
}

@end
