//
//  PItems.m
//
//
//  Created by {import} on 2026/12/05.
//  Copyright © 2026年 {code} Ltd. All rights reserved.
//

#import "PItems.h"

@implementation PItems

@end
